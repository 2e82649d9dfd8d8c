// CRapi's members as the transfer window drives them: a caller puts names into properties and
// calls an operation. One handle slot serves searches and files; every file a member opens is
// closed before it returns, and a copy to the PC replaces the PC file only when the whole
// device file was read, read in pieces, and only where the user could write the file itself.
// A device path with a NUL inside is refused whole, never cut short.
#include "devicectl/lib/crapi.h"

#include "devicectl/lib/pc_target.h"

#include "devicelink/utf16.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace orv::cradlelink {

namespace {

constexpr DWORD kShareRead = 1;
constexpr DWORD kAttributeNormal = 128;
constexpr DWORD kLargestCopy = 0x7FFFFFFF; // a Long result holds no more
constexpr size_t kCopyChunk = 256 * 1024;

HANDLE handleOf(LONG slot) { return reinterpret_cast<HANDLE>(static_cast<intptr_t>(slot)); }

// Handles of the device link are small numbers; one that does not fit a Long counts as
// invalid rather than being cut short.
LONG slotOf(HANDLE h)
{
    const auto v = reinterpret_cast<intptr_t>(h);
    return v >= INT32_MIN && v <= INT32_MAX ? static_cast<LONG>(v) : -1;
}

std::string pcPath(const std::u16string& path)
{
    std::string utf8;
    if (!orv::rapi::utf16ToUtf8(path, utf8) || utf8.find('\0') != std::string::npos) throw badFileName();
    return utf8;
}

AutomationError errorForErrno(int e)
{
    switch (e) {
    case ENOENT: return fileNotFound();
    case ENOTDIR: return pathNotFound();
    case ENOSPC: case EDQUOT: return diskFull();
    case ENOMEM: return outOfMemory();
    default: return fileAccessError();
    }
}

struct FdCloser {
    int fd;
    ~FdCloser() { if (fd >= 0) ::close(fd); }
};

} // namespace

CRapi::~CRapi()
{
    if (library_) releaseSlot();
}

RapiLibrary& CRapi::rapi()
{
    if (!library_) library_ = RapiLibrary::load();
    if (!library_) throw dllLoadError();
    return *library_;
}

RapiLibrary& CRapi::device()
{
    RapiLibrary& r = rapi();
    refused_ = 0;
    return r;
}

bool CRapi::refusedPath(const std::u16string& path)
{
    // A device path goes to the link zero-terminated: a NUL inside would cut it short and
    // name another file, so the whole call is refused as the handheld refuses a bad name.
    if (path.find(u'\0') == std::u16string::npos) return false;
    refused_ = ERROR_INVALID_NAME;
    return true;
}

void CRapi::releaseSlot()
{
    if (slotIsSearch_ && slot_ != -1) rapi().FindClose(handleOf(slot_));
    slotIsSearch_ = false;
}

void CRapi::setSlot(HANDLE h, bool isSearch)
{
    releaseSlot();
    slot_ = slotOf(h);
    slotIsSearch_ = isSearch && slot_ != -1;
}

void CRapi::closeFileInSlot()
{
    if (slot_ != -1 && !slotIsSearch_) rapi().CloseHandle(handleOf(slot_));
    slot_ = -1;
}

LONG CRapi::ConnectRapi()
{
    // The record is built as on the platform; the call does not wait for its event, so
    // whether the device answers shows only at the next device call.
    RAPIINIT init{};
    init.cbSize = sizeof(RAPIINIT);
    return device().RapiInitEx(&init);
}

LONG CRapi::DisconnectRapi()
{
    RapiLibrary& r = device();
    // Closing the connection closes the search held in the slot; its number means nothing now.
    slotIsSearch_ = false;
    return r.RapiUninit();
}

LONG CRapi::readRecordName()
{
    // The record's name runs to its first zero unit, and never past its 260 units.
    size_t n = 0;
    while (n < MAX_PATH && find_.cFileName[n] != 0) ++n;
    foundName.assign(find_.cFileName, n);
    return 0;
}

LONG CRapi::FindFirstFile()
{
    RapiLibrary& r = device();
    releaseSlot();
    if (refusedPath(searchPath)) {
        slot_ = -1;
        return -1;
    }
    const HANDLE h = r.FindFirstFile(searchPath.c_str(), &find_);
    setSlot(h, true);
    if (slot_ != -1) readRecordName();
    else if (h != INVALID_HANDLE_VALUE) r.FindClose(h); // a handle too large to keep
    return slot_;
}

LONG CRapi::FindNextFile()
{
    const BOOL found = device().FindNextFile(handleOf(slot_), &find_);
    if (found) readRecordName();
    return found;
}

void CRapi::FindClose()
{
    RapiLibrary& r = device();
    if (slot_ == -1) return;
    if (slotIsSearch_) r.FindClose(handleOf(slot_));
    slotIsSearch_ = false;
}

HANDLE CRapi::openForReading(const std::u16string& path)
{
    RapiLibrary& r = device();
    releaseSlot();
    const HANDLE h = r.CreateFile(path.c_str(), GENERIC_READ, kShareRead, nullptr, OPEN_EXISTING,
                                  kAttributeNormal, nullptr);
    setSlot(h, false);
    if (slot_ == -1 && h != INVALID_HANDLE_VALUE) r.CloseHandle(h);
    return slot_ == -1 ? INVALID_HANDLE_VALUE : h;
}

LONG CRapi::GetPPCFileSize(const std::u16string& strFile)
{
    RapiLibrary& r = device();
    if (refusedPath(strFile)) return 0;
    const HANDLE h = openForReading(strFile);
    if (h == INVALID_HANDLE_VALUE) return 0;
    DWORD high = 0;
    const DWORD low = r.GetFileSize(h, &high);
    const bool failed = low == INVALID_FILE_SIZE && r.GetLastError() != 0;
    closeFileInSlot();
    // From 2 GiB up the size does not fit the Long result: not copyable, rather than negative.
    if (failed || high != 0 || low > kLargestCopy) return 0;
    return static_cast<LONG>(low);
}

bool CRapi::TransferFileFromPPC()
{
    if (pcToWrite.empty()) {
        showMessage(u"" CRADLELINK_MSG_NO_SAVE_NAME);
        return false;
    }
    if (ppcToRead.empty()) {
        showMessage(u"" CRADLELINK_MSG_NO_COPY_NAME);
        return false;
    }
    RapiLibrary& r = device();
    const LONG size = GetPPCFileSize(ppcToRead);
    if (size < 1) return false;
    PcTarget target(pcPath(pcToWrite));

    const HANDLE h = openForReading(ppcToRead);
    if (h == INVALID_HANDLE_VALUE) return false;
    struct SlotCloser {
        CRapi* self;
        ~SlotCloser() { self->closeFileInSlot(); }
    } slotCloser{this};

    // Read in pieces: memory stays bounded whatever the size of the file.
    std::vector<unsigned char> buffer(std::min<size_t>(static_cast<size_t>(size), kCopyChunk));
    uint64_t total = 0;
    for (;;) {
        DWORD got = 0;
        if (!r.ReadFile(h, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr)) {
            showMessage(u"" CRADLELINK_MSG_READ_FAILED);
            return false;
        }
        if (got == 0) break;
        total += got;
        if (got > buffer.size() || total > kLargestCopy) {
            // A device that delivers more than asked, or without end, is not copied.
            showMessage(u"" CRADLELINK_MSG_READ_FAILED);
            return false;
        }
        target.write(buffer.data(), got);
    }
    target.commit();
    return true;
}

bool CRapi::TransferFileToPPC()
{
    if (pcToRead.empty()) {
        showMessage(u"" CRADLELINK_MSG_NO_SOURCE);
        return false;
    }
    RapiLibrary& r = device();
    const std::string source = pcPath(pcToRead);
    const int fd = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw errorForErrno(errno);
    FdCloser closer{fd};
    struct stat st{};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) throw fileAccessError();
    if (static_cast<uint64_t>(st.st_size) > kLargestCopy) {
        showMessage(u"" CRADLELINK_MSG_WRITE_FAILED);
        return false;
    }
    std::vector<unsigned char> buffer(static_cast<size_t>(st.st_size));
    size_t have = 0;
    while (have < buffer.size()) {
        const ssize_t n = ::read(fd, buffer.data() + have, buffer.size() - have);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw fileAccessError();
        if (n == 0) break;
        have += static_cast<size_t>(n);
    }
    buffer.resize(have);

    releaseSlot();
    const HANDLE h = refusedPath(ppcToWrite)
                         ? INVALID_HANDLE_VALUE
                         : r.CreateFile(ppcToWrite.c_str(), GENERIC_WRITE, kShareRead, nullptr,
                                        CREATE_ALWAYS, kAttributeNormal, nullptr);
    setSlot(h, false);
    if (slot_ == -1) {
        if (h != INVALID_HANDLE_VALUE) r.CloseHandle(h);
        showMessage(u"" CRADLELINK_MSG_OPEN_FAILED);
        return false;
    }
    DWORD written = 0;
    const BOOL ok = r.WriteFile(h, buffer.data(), static_cast<DWORD>(buffer.size()), &written, nullptr);
    closeFileInSlot();
    if (!ok || written != buffer.size()) {
        showMessage(u"" CRADLELINK_MSG_WRITE_FAILED);
        return false;
    }
    return true;
}

LONG CRapi::LastError()
{
    return refused_ != 0 ? static_cast<LONG>(refused_) : static_cast<LONG>(rapi().GetLastError());
}

bool CRapi::DeletePPCFile()
{
    if (ppcToDelete.empty()) {
        showMessage(u"" CRADLELINK_MSG_NO_DELETE_NAME);
        return false;
    }
    RapiLibrary& r = device();
    if (refusedPath(ppcToDelete)) return false;
    const DWORD attributes = r.GetFileAttributes(ppcToDelete.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        r.SetFileAttributes(ppcToDelete.c_str(), 0);
    // True only when the file is gone; LastError tells why when it is not.
    return r.DeleteFile(ppcToDelete.c_str()) != FALSE;
}

} // namespace orv::cradlelink
