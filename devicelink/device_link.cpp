// The handheld served from a folder. Handles are small numbers so that they fit a 32-bit
// result whole; they are not reused soon after closing, so a stale handle fails with 6
// instead of reaching someone else's file. Every call fails while no connection is open or
// while the device folder is missing, the way a handheld that does not answer behaves.
#include "devicelink/device_link.h"

#include "devicelink/ce_path.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <memory>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>
#include <variant>
#include <vector>

namespace orv::rapi {

namespace {

constexpr int kMaxHandles = 1024;
constexpr int32_t kLastHandle = 0x7FFFFFFE;

struct Search {
    std::string folder;                     // host folder being listed
    std::vector<std::string> names;         // matching entries, in order
    size_t next = 0;
};

struct OpenFile {
    int fd = -1;
    bool canRead = false;
    bool canWrite = false;
};

struct State {
    std::mutex mutex;
    int connections = 0;
    std::string root; // canonical device folder of the current connection
    std::map<int32_t, std::variant<Search, OpenFile>> handles;
    int32_t nextHandle = 1;
};

State& state()
{
    static State s;
    return s;
}

thread_local DWORD tLastError = ERROR_SUCCESS;

BOOL fail(DWORD error)
{
    tLastError = error;
    return FALSE;
}

HANDLE failHandle(DWORD error)
{
    tLastError = error;
    return INVALID_HANDLE_VALUE;
}

DWORD errnoToError(int e, DWORD missing = ERROR_FILE_NOT_FOUND)
{
    switch (e) {
    case ENOENT: return missing;
    case ENOTDIR: case ELOOP: return ERROR_PATH_NOT_FOUND;
    case EACCES: case EPERM: case EROFS: case EISDIR: case ETXTBSY: return ERROR_ACCESS_DENIED;
    case EEXIST: return ERROR_FILE_EXISTS;
    case ENOSPC: case EDQUOT: return ERROR_DISK_FULL;
    case EMFILE: case ENFILE: return ERROR_TOO_MANY_OPEN_FILES;
    case ENAMETOOLONG: return ERROR_FILENAME_EXCED_RANGE;
    case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
    default: return ERROR_GEN_FAILURE;
    }
}

// The device answers only while connected and while its folder is there.
bool deviceAnswers(State& s)
{
    if (s.connections <= 0 || s.root.empty()) return false;
    struct stat st{};
    return stat(s.root.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

int32_t handleNumber(HANDLE h)
{
    const auto v = reinterpret_cast<intptr_t>(h);
    return v > 0 && v <= kLastHandle ? static_cast<int32_t>(v) : 0;
}

HANDLE addHandle(State& s, std::variant<Search, OpenFile> object)
{
    if (static_cast<int>(s.handles.size()) >= kMaxHandles) {
        if (auto* f = std::get_if<OpenFile>(&object)) ::close(f->fd);
        return failHandle(ERROR_TOO_MANY_OPEN_FILES);
    }
    while (s.handles.count(s.nextHandle)) s.nextHandle = s.nextHandle >= kLastHandle ? 1 : s.nextHandle + 1;
    const int32_t n = s.nextHandle;
    s.nextHandle = n >= kLastHandle ? 1 : n + 1;
    s.handles.emplace(n, std::move(object));
    return reinterpret_cast<HANDLE>(static_cast<intptr_t>(n));
}

template <typename T>
T* lookup(State& s, HANDLE h)
{
    const auto it = s.handles.find(handleNumber(h));
    return it == s.handles.end() ? nullptr : std::get_if<T>(&it->second);
}

void closeAll(State& s)
{
    for (auto& [n, object] : s.handles)
        if (auto* f = std::get_if<OpenFile>(&object)) ::close(f->fd);
    s.handles.clear();
}

FILETIME fileTime(const timespec& t)
{
    // 100 ns ticks since 1601; times before 1601 are clamped to 0.
    constexpr int64_t kEpochDelta = 11644473600LL;
    const int64_t ticks = std::max<int64_t>(0, (static_cast<int64_t>(t.tv_sec) + kEpochDelta) * 10000000LL +
                                                   t.tv_nsec / 100);
    return {static_cast<DWORD>(ticks & 0xFFFFFFFF), static_cast<DWORD>(static_cast<uint64_t>(ticks) >> 32)};
}

DWORD attributesOf(const struct stat& st)
{
    if (S_ISDIR(st.st_mode)) return FILE_ATTRIBUTE_DIRECTORY;
    // The mode bits say read-only; access() would say writable to root.
    return FILE_ATTRIBUTE_ARCHIVE | ((st.st_mode & S_IWUSR) ? 0 : FILE_ATTRIBUTE_READONLY);
}

// Fills the record for one listed entry; false when it vanished or now points outside.
bool fillRecord(const State& s, const std::string& folder, const std::string& name, CE_FIND_DATA* data)
{
    const std::string path = folder + "/" + name;
    struct stat st{};
    if (lstat(path.c_str(), &st) != 0) return false;
    if (S_ISLNK(st.st_mode)) {
        std::unique_ptr<char, decltype(&std::free)> real(realpath(path.c_str(), nullptr), &std::free);
        if (!real || !isWithin(s.root, real.get()) || stat(real.get(), &st) != 0) return false;
    }
    if (!S_ISDIR(st.st_mode) && !S_ISREG(st.st_mode)) return false;
    std::u16string utf16;
    if (!isListableName(name, utf16)) return false;
    std::memset(data, 0, sizeof(*data));
    data->dwFileAttributes = attributesOf(st);
    data->ftCreationTime = fileTime(st.st_mtim);
    data->ftLastAccessTime = fileTime(st.st_atim);
    data->ftLastWriteTime = fileTime(st.st_mtim);
    const auto size = S_ISDIR(st.st_mode) ? 0 : static_cast<uint64_t>(st.st_size);
    data->nFileSizeHigh = static_cast<DWORD>(size >> 32);
    data->nFileSizeLow = static_cast<DWORD>(size & 0xFFFFFFFF);
    data->dwOID = static_cast<DWORD>(st.st_ino);
    std::copy(utf16.begin(), utf16.end(), data->cFileName);
    return true;
}

bool stepSearch(const State& s, Search& search, CE_FIND_DATA* data)
{
    while (search.next < search.names.size())
        if (fillRecord(s, search.folder, search.names[search.next++], data)) return true;
    return false;
}

std::u16string_view viewOf(LPCWSTR path)
{
    // Stop at MAX_PATH units: a longer path is refused as too long without reading further.
    size_t n = 0;
    while (n < MAX_PATH && path[n] != 0) ++n;
    return {path, n};
}

// Parses and resolves a path argument; sets the last error and returns false on failure.
bool resolveArgument(const State& s, LPCWSTR path, bool lastMayBeMissing, Resolved& out)
{
    if (!path) return fail(ERROR_INVALID_PARAMETER);
    CePath parsed;
    DWORD error = parseCePath(viewOf(path), false, parsed);
    if (error == ERROR_SUCCESS) error = resolveCePath(s.root, parsed, lastMayBeMissing, out);
    if (error != ERROR_SUCCESS) return fail(error);
    return true;
}

} // namespace

std::string deviceRootFromEnvironment()
{
    if (const char* root = std::getenv("ORVANTIS_DEVICE_ROOT"); root && *root) return root;
    std::string data;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg) data = xdg;
    else if (const char* home = std::getenv("HOME"); home && *home) data = std::string(home) + "/.local/share";
    else return {};
    return data + "/Orvantis/device";
}

DWORD getLastError() { return tLastError; }
void setLastError(DWORD error) { tLastError = error; }

HRESULT rapiInitEx(RAPIINIT* init)
{
    // The platform's record is 12 bytes on a 32-bit system; accept that size or ours.
    if (!init || init->cbSize < 12) return E_INVALIDARG;
    State& s = state();
    std::lock_guard lock(s.mutex);
    if (s.connections++ == 0) {
        std::unique_ptr<char, decltype(&std::free)> real(
            realpath(deviceRootFromEnvironment().c_str(), nullptr), &std::free);
        s.root = real ? real.get() : "";
    }
    init->heRapiInit = nullptr;
    init->hrRapiInit = deviceAnswers(s) ? S_OK : static_cast<HRESULT>(0x80070000u | ERROR_NOT_READY);
    return S_OK;
}

HRESULT rapiUninit()
{
    State& s = state();
    std::lock_guard lock(s.mutex);
    if (s.connections <= 0) return E_FAIL;
    if (--s.connections == 0) {
        closeAll(s);
        s.root.clear();
    }
    return S_OK;
}

HANDLE findFirstFile(LPCWSTR pattern, CE_FIND_DATA* data)
{
    State& s = state();
    std::lock_guard lock(s.mutex);
    if (!deviceAnswers(s)) return failHandle(ERROR_NOT_READY);
    if (!pattern || !data) return failHandle(ERROR_INVALID_PARAMETER);
    CePath parsed;
    DWORD error = parseCePath(viewOf(pattern), true, parsed);
    if (error != ERROR_SUCCESS) return failHandle(error);
    if (parsed.lastName.empty()) return failHandle(ERROR_FILE_NOT_FOUND);

    CePath folderPath = parsed;
    folderPath.components.pop_back();
    folderPath.trailingSeparator = true;
    Resolved folder;
    error = resolveCePath(s.root, folderPath, false, folder);
    if (error != ERROR_SUCCESS) return failHandle(ERROR_PATH_NOT_FOUND);

    Search search;
    search.folder = folder.target;
    const std::u16string wanted = foldCase(parsed.lastName);
    std::vector<std::pair<std::u16string, std::string>> matches;
    std::unique_ptr<DIR, DirCloser> dir(opendir(folder.target.c_str()));
    if (!dir) return failHandle(errnoToError(errno, ERROR_PATH_NOT_FOUND));
    while (const dirent* e = readdir(dir.get())) {
        std::u16string utf16;
        if (!isListableName(e->d_name, utf16)) continue;
        std::u16string folded = foldCase(utf16);
        if (wildcardMatch(wanted, folded)) matches.emplace_back(std::move(folded), e->d_name);
    }
    std::sort(matches.begin(), matches.end());
    for (auto& m : matches) search.names.push_back(std::move(m.second));
    if (!stepSearch(s, search, data)) return failHandle(ERROR_FILE_NOT_FOUND);
    return addHandle(s, std::move(search));
}

BOOL findNextFile(HANDLE h, CE_FIND_DATA* data)
{
    State& s = state();
    std::lock_guard lock(s.mutex);
    if (!deviceAnswers(s)) return fail(ERROR_NOT_READY);
    Search* search = lookup<Search>(s, h);
    if (!search) return fail(ERROR_INVALID_HANDLE);
    if (!data) return fail(ERROR_INVALID_PARAMETER);
    return stepSearch(s, *search, data) ? TRUE : fail(ERROR_NO_MORE_FILES);
}

BOOL findClose(HANDLE h)
{
    State& s = state();
    std::lock_guard lock(s.mutex);
    if (!lookup<Search>(s, h)) return fail(ERROR_INVALID_HANDLE);
    s.handles.erase(handleNumber(h));
    return TRUE;
}

HANDLE createFile(LPCWSTR path, DWORD access, DWORD /*share*/, DWORD disposition, DWORD /*flags*/)
{
    State& s = state();
    std::lock_guard lock(s.mutex);
    if (!deviceAnswers(s)) return failHandle(ERROR_NOT_READY);
    if (disposition < CREATE_NEW || disposition > TRUNCATE_EXISTING) return failHandle(ERROR_INVALID_PARAMETER);
    const bool creates = disposition == CREATE_NEW || disposition == CREATE_ALWAYS || disposition == OPEN_ALWAYS;
    Resolved where;
    if (!resolveArgument(s, path, creates, where)) return INVALID_HANDLE_VALUE;

    const bool reads = access & GENERIC_READ;
    const bool writes = (access & GENERIC_WRITE) || disposition == CREATE_ALWAYS || disposition == TRUNCATE_EXISTING;
    int flags = O_CLOEXEC | ((reads && writes) ? O_RDWR : writes ? O_WRONLY : O_RDONLY);
    if (where.exists) {
        struct stat st{};
        if (stat(where.target.c_str(), &st) != 0) return failHandle(errnoToError(errno));
        if (S_ISDIR(st.st_mode) || !S_ISREG(st.st_mode)) return failHandle(ERROR_ACCESS_DENIED);
        if (disposition == CREATE_NEW) return failHandle(ERROR_FILE_EXISTS);
        if (writes && !(st.st_mode & S_IWUSR)) return failHandle(ERROR_ACCESS_DENIED);
        if (disposition == CREATE_ALWAYS || disposition == TRUNCATE_EXISTING) flags |= O_TRUNC;
    } else {
        // A new file keeps the case it was given; O_EXCL keeps a link planted meanwhile out.
        flags |= O_CREAT | O_EXCL;
    }
    if (where.exists && where.entry == where.target) flags |= O_NOFOLLOW;
    const int fd = ::open(where.target.c_str(), flags, 0666);
    if (fd < 0) return failHandle(errnoToError(errno));
    return addHandle(s, OpenFile{fd, reads, writes});
}

DWORD getFileSize(HANDLE h, DWORD* high)
{
    State& s = state();
    std::lock_guard lock(s.mutex);
    if (!deviceAnswers(s)) return (fail(ERROR_NOT_READY), INVALID_FILE_SIZE);
    const OpenFile* f = lookup<OpenFile>(s, h);
    if (!f) return (fail(ERROR_INVALID_HANDLE), INVALID_FILE_SIZE);
    struct stat st{};
    if (fstat(f->fd, &st) != 0) return (fail(errnoToError(errno)), INVALID_FILE_SIZE);
    const auto size = static_cast<uint64_t>(st.st_size);
    if (high) *high = static_cast<DWORD>(size >> 32);
    tLastError = ERROR_SUCCESS; // a size of 0xFFFFFFFF is told from a failure by the last error
    return static_cast<DWORD>(size & 0xFFFFFFFF);
}

BOOL readFile(HANDLE h, void* buffer, DWORD count, DWORD* done)
{
    State& s = state();
    std::lock_guard lock(s.mutex);
    if (done) *done = 0;
    if (!deviceAnswers(s)) return fail(ERROR_NOT_READY);
    const OpenFile* f = lookup<OpenFile>(s, h);
    if (!f) return fail(ERROR_INVALID_HANDLE);
    if (!done || (!buffer && count > 0)) return fail(ERROR_INVALID_PARAMETER);
    if (!f->canRead) return fail(ERROR_ACCESS_DENIED);
    auto* out = static_cast<char*>(buffer);
    DWORD got = 0;
    while (got < count) {
        const ssize_t n = ::read(f->fd, out + got, std::min<size_t>(count - got, SSIZE_MAX));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            *done = got;
            return fail(ERROR_READ_FAULT);
        }
        if (n == 0) break;
        got += static_cast<DWORD>(n);
    }
    *done = got;
    return TRUE;
}

BOOL writeFile(HANDLE h, const void* buffer, DWORD count, DWORD* done)
{
    State& s = state();
    std::lock_guard lock(s.mutex);
    if (done) *done = 0;
    if (!deviceAnswers(s)) return fail(ERROR_NOT_READY);
    const OpenFile* f = lookup<OpenFile>(s, h);
    if (!f) return fail(ERROR_INVALID_HANDLE);
    if (!done || (!buffer && count > 0)) return fail(ERROR_INVALID_PARAMETER);
    if (!f->canWrite) return fail(ERROR_ACCESS_DENIED);
    const auto* in = static_cast<const char*>(buffer);
    DWORD put = 0;
    while (put < count) {
        const ssize_t n = ::write(f->fd, in + put, std::min<size_t>(count - put, SSIZE_MAX));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            *done = put;
            return fail(n < 0 && (errno == ENOSPC || errno == EDQUOT) ? ERROR_DISK_FULL : ERROR_WRITE_FAULT);
        }
        put += static_cast<DWORD>(n);
    }
    *done = put;
    return TRUE;
}

BOOL closeHandle(HANDLE h)
{
    State& s = state();
    std::lock_guard lock(s.mutex);
    const auto it = s.handles.find(handleNumber(h));
    if (it == s.handles.end()) return fail(ERROR_INVALID_HANDLE);
    if (auto* f = std::get_if<OpenFile>(&it->second)) ::close(f->fd);
    s.handles.erase(it);
    return TRUE;
}

DWORD getFileAttributes(LPCWSTR path)
{
    State& s = state();
    std::lock_guard lock(s.mutex);
    if (!deviceAnswers(s)) return (fail(ERROR_NOT_READY), INVALID_FILE_ATTRIBUTES);
    Resolved where;
    if (!resolveArgument(s, path, false, where)) return INVALID_FILE_ATTRIBUTES;
    struct stat st{};
    if (stat(where.target.c_str(), &st) != 0) return (fail(errnoToError(errno)), INVALID_FILE_ATTRIBUTES);
    return attributesOf(st);
}

BOOL setFileAttributes(LPCWSTR path, DWORD attributes)
{
    State& s = state();
    std::lock_guard lock(s.mutex);
    if (!deviceAnswers(s)) return fail(ERROR_NOT_READY);
    Resolved where;
    if (!resolveArgument(s, path, false, where)) return FALSE;
    struct stat st{};
    if (stat(where.target.c_str(), &st) != 0) return fail(errnoToError(errno));
    if (!S_ISREG(st.st_mode)) return TRUE; // folders keep their bits
    // Read-only takes every write bit away; clearing it gives the owner's back.
    mode_t mode = st.st_mode & 07777;
    mode = (attributes & FILE_ATTRIBUTE_READONLY) ? (mode & ~mode_t(0222)) : (mode | S_IWUSR);
    if (chmod(where.target.c_str(), mode) != 0) return fail(errnoToError(errno));
    return TRUE;
}

BOOL deleteFile(LPCWSTR path)
{
    State& s = state();
    std::lock_guard lock(s.mutex);
    if (!deviceAnswers(s)) return fail(ERROR_NOT_READY);
    Resolved where;
    if (!resolveArgument(s, path, false, where)) return FALSE;
    struct stat st{};
    if (stat(where.target.c_str(), &st) != 0) return fail(errnoToError(errno));
    if (!S_ISREG(st.st_mode)) return fail(ERROR_ACCESS_DENIED);
    // As on the handheld, a read-only file stays until its attribute is cleared.
    if (!(st.st_mode & S_IWUSR)) return fail(ERROR_ACCESS_DENIED);
    if (unlink(where.entry.c_str()) != 0) return fail(errnoToError(errno));
    return TRUE;
}

int openHandleCount()
{
    State& s = state();
    std::lock_guard lock(s.mutex);
    return static_cast<int>(s.handles.size());
}

} // namespace orv::rapi
