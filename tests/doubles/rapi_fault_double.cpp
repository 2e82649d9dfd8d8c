// A Remote API library for tests: the device link with faults switched on by the test (a
// failing or short write, a read that fails part-way, a size from 2 GiB up, a device listing
// with hostile names, a read that never returns), the largest read asked for, and a count of
// the handles left open. Loaded by the control through
// ORVANTIS_RAPI_LIBRARY; the test reaches the switches through dlopen on the same file.
#include "devicelink/device_link.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <unistd.h>
#include <string>
#include <vector>

#define DOUBLE_EXPORT extern "C" __attribute__((visibility("default")))

using namespace orv::rapi;

namespace {

struct Faults {
    DWORD writeFail = 0;        // error number of a failing write
    long long writeShort = -1;  // bytes a write stores at most, reporting success
    long long readFailAfter = -1; // bytes delivered before reads fail
    long long readChunk = -1;   // bytes one read delivers at most
    long long sizeLow = -1, sizeHigh = 0; // a size reported instead of the real one
    std::vector<CE_FIND_DATA> listing; // replaces every search's results when not empty
    size_t listed = 0;
    long long delivered = 0;
    DWORD largestRead = 0;
};

Faults gFaults;
const HANDLE kFakeSearch = reinterpret_cast<HANDLE>(static_cast<intptr_t>(0x7000));

} // namespace

DOUBLE_EXPORT void RapiFaultReset(void) { gFaults = Faults{}; }

DOUBLE_EXPORT void RapiFaultSet(const char* name, long long value)
{
    const std::string n = name;
    if (n == "write_fail") gFaults.writeFail = static_cast<DWORD>(value);
    else if (n == "write_short") gFaults.writeShort = value;
    else if (n == "read_fail_after") gFaults.readFailAfter = value;
    else if (n == "read_chunk") gFaults.readChunk = value;
    else if (n == "size_low") gFaults.sizeLow = value;
    else if (n == "size_high") gFaults.sizeHigh = value;
}

// Each name is copied unit for unit, `lengths[i]` units of it (260 leaves no terminator).
DOUBLE_EXPORT void RapiFaultListing(const WCHAR* const* names, const int* lengths, int count)
{
    gFaults.listing.clear();
    for (int i = 0; i < count; ++i) {
        CE_FIND_DATA d{};
        d.dwFileAttributes = FILE_ATTRIBUTE_ARCHIVE;
        std::copy_n(names[i], std::min(lengths[i], MAX_PATH), d.cFileName);
        gFaults.listing.push_back(d);
    }
}

DOUBLE_EXPORT int RapiFaultOpenHandles(void) { return openHandleCount(); }

DOUBLE_EXPORT unsigned RapiFaultLargestRead(void) { return gFaults.largestRead; }

DOUBLE_EXPORT HRESULT CeRapiInitEx(RAPIINIT* init) { return rapiInitEx(init); }
DOUBLE_EXPORT HRESULT CeRapiUninit(void) { return rapiUninit(); }

DOUBLE_EXPORT HANDLE CeFindFirstFile(LPCWSTR name, LPCE_FIND_DATA data)
{
    if (gFaults.listing.empty()) return findFirstFile(name, data);
    *data = gFaults.listing[0];
    gFaults.listed = 1;
    return kFakeSearch;
}

DOUBLE_EXPORT BOOL CeFindNextFile(HANDLE h, LPCE_FIND_DATA data)
{
    if (h != kFakeSearch) return findNextFile(h, data);
    if (gFaults.listed >= gFaults.listing.size()) {
        setLastError(ERROR_NO_MORE_FILES);
        return FALSE;
    }
    *data = gFaults.listing[gFaults.listed++];
    return TRUE;
}

DOUBLE_EXPORT BOOL CeFindClose(HANDLE h) { return h == kFakeSearch ? TRUE : findClose(h); }

DOUBLE_EXPORT HANDLE CeCreateFile(LPCWSTR name, DWORD access, DWORD share, void*, DWORD disposition,
                                  DWORD flags, HANDLE)
{
    return createFile(name, access, share, disposition, flags);
}

DOUBLE_EXPORT DWORD CeGetFileSize(HANDLE h, DWORD* high)
{
    const DWORD real = getFileSize(h, high);
    if (gFaults.sizeLow < 0 || real == INVALID_FILE_SIZE) return real;
    if (high) *high = static_cast<DWORD>(gFaults.sizeHigh);
    return static_cast<DWORD>(gFaults.sizeLow);
}

DOUBLE_EXPORT BOOL CeReadFile(HANDLE h, void* buffer, DWORD count, DWORD* done, void*)
{
    gFaults.largestRead = std::max(gFaults.largestRead, count);
    // A program under test (another process) is made to hang part-way, to be killed there.
    if (const char* stall = std::getenv("RAPI_FAULT_STALL_AFTER");
        stall && gFaults.delivered >= std::atoll(stall)) {
        for (;;) pause();
    }
    if (gFaults.readFailAfter >= 0 && gFaults.delivered >= gFaults.readFailAfter) {
        if (done) *done = 0;
        setLastError(ERROR_READ_FAULT);
        return FALSE;
    }
    if (gFaults.readChunk >= 0) count = std::min<DWORD>(count, static_cast<DWORD>(gFaults.readChunk));
    const BOOL ok = readFile(h, buffer, count, done);
    if (ok && done) gFaults.delivered += *done;
    return ok;
}

DOUBLE_EXPORT BOOL CeWriteFile(HANDLE h, const void* buffer, DWORD count, DWORD* done, void*)
{
    if (gFaults.writeFail) {
        if (done) *done = 0;
        setLastError(gFaults.writeFail);
        return FALSE;
    }
    if (gFaults.writeShort >= 0) count = std::min<DWORD>(count, static_cast<DWORD>(gFaults.writeShort));
    return writeFile(h, buffer, count, done);
}

DOUBLE_EXPORT BOOL CeCloseHandle(HANDLE h) { return closeHandle(h); }
DOUBLE_EXPORT DWORD CeGetFileAttributes(LPCWSTR name) { return getFileAttributes(name); }
DOUBLE_EXPORT BOOL CeSetFileAttributes(LPCWSTR name, DWORD attributes) { return setFileAttributes(name, attributes); }
DOUBLE_EXPORT BOOL CeDeleteFile(LPCWSTR name) { return deleteFile(name); }
DOUBLE_EXPORT DWORD CeGetLastError(void) { return getLastError(); }
