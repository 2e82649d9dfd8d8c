// Writing the PC side of a copy from the handheld. The temporary name is short and fixed in
// length, so every name that fits the folder can be copied; it carries the process id so that
// a later copy can tell a dead copy's leftovers from a running one's.
#include "devicectl/lib/pc_target.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace orv::cradlelink {

namespace {

std::string folderOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

mode_t currentUmask()
{
    const mode_t mask = umask(0);
    umask(mask);
    return mask;
}

} // namespace

AutomationError pcWriteError(int e)
{
    switch (e) {
    case ENOENT: case ENOTDIR: return pathNotFound();
    case ENOSPC: case EDQUOT: return diskFull();
    case ENOMEM: return outOfMemory();
    default: return fileAccessError();
    }
}

int removeDeadCopies(const std::string& folder)
{
    std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.c_str()), &closedir);
    if (!dir) return 0;
    const size_t prefix = std::strlen(kPcTempPrefix);
    int removed = 0;
    while (const dirent* e = readdir(dir.get())) {
        const std::string name = e->d_name;
        if (name.compare(0, prefix, kPcTempPrefix) != 0) continue;
        const auto dash = name.find('-', prefix);
        if (dash == std::string::npos || dash == prefix) continue;
        char* end = nullptr;
        const long pid = std::strtol(name.c_str() + prefix, &end, 10);
        if (end != name.c_str() + dash || pid <= 0) continue;
        // Signal 0 only asks whether the process exists.
        if (::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH) continue;
        const std::string path = folder + "/" + name;
        struct stat st{};
        if (lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != geteuid()) continue;
        if (::unlink(path.c_str()) == 0) ++removed;
    }
    return removed;
}

PcTarget::PcTarget(std::string target) : target_(std::move(target))
{
    struct stat st{};
    if (stat(target_.c_str(), &st) == 0) {
        // Renaming over the target needs only the folder's permission; the user's own
        // protection of the file decides, as a direct write to it would.
        if (!S_ISREG(st.st_mode) || faccessat(AT_FDCWD, target_.c_str(), W_OK, AT_EACCESS) != 0)
            throw fileAccessError();
        hadTarget_ = true;
        mode_ = st.st_mode & 07777;
        uid_ = st.st_uid;
        gid_ = st.st_gid;
    } else if (errno != ENOENT) {
        throw pcWriteError(errno);
    } else {
        mode_ = 0666 & ~currentUmask();
    }
    const std::string folder = folderOf(target_);
    removeDeadCopies(folder);
    temp_ = folder + "/" + kPcTempPrefix + std::to_string(getpid()) + "-XXXXXX";
    fd_ = mkstemp(temp_.data());
    if (fd_ < 0) {
        const int e = errno;
        temp_.clear();
        throw pcWriteError(e);
    }
}

PcTarget::~PcTarget() { abandon(); }

void PcTarget::abandon()
{
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!temp_.empty()) ::unlink(temp_.c_str());
    temp_.clear();
}

void PcTarget::write(const unsigned char* data, size_t n)
{
    while (n > 0) {
        const ssize_t w = ::write(fd_, data, n);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) {
            const int e = w < 0 ? errno : ENOSPC;
            abandon();
            throw pcWriteError(e);
        }
        data += w;
        n -= static_cast<size_t>(w);
    }
}

void PcTarget::commit()
{
    // The owner and group may be given back only by a user allowed to; the permission bits
    // follow afterwards, since a change of owner clears the set-id bits.
    if (hadTarget_ && fchown(fd_, uid_, gid_) != 0) {
        if (fchown(fd_, static_cast<uid_t>(-1), gid_) != 0) { /* the user's own group stays */ }
    }
    if (fchmod(fd_, mode_) != 0) {
        const int e = errno;
        abandon();
        throw pcWriteError(e);
    }
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0 || ::rename(temp_.c_str(), target_.c_str()) != 0) {
        const int e = errno;
        abandon();
        throw pcWriteError(e);
    }
    temp_.clear();
}

} // namespace orv::cradlelink
