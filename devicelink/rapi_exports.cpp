// librapi.so: the Remote API's C entry points, each forwarding to the device link.
#include "devicelink/device_link.h"

#define RAPI_EXPORT extern "C" __attribute__((visibility("default")))

using namespace orv::rapi;

RAPI_EXPORT HRESULT CeRapiInitEx(RAPIINIT* init) { return rapiInitEx(init); }
RAPI_EXPORT HRESULT CeRapiUninit(void) { return rapiUninit(); }
RAPI_EXPORT HANDLE CeFindFirstFile(LPCWSTR name, LPCE_FIND_DATA data) { return findFirstFile(name, data); }
RAPI_EXPORT BOOL CeFindNextFile(HANDLE h, LPCE_FIND_DATA data) { return findNextFile(h, data); }
RAPI_EXPORT BOOL CeFindClose(HANDLE h) { return findClose(h); }
RAPI_EXPORT HANDLE CeCreateFile(LPCWSTR name, DWORD access, DWORD share, void*, DWORD disposition,
                                DWORD flags, HANDLE)
{
    return createFile(name, access, share, disposition, flags);
}
RAPI_EXPORT DWORD CeGetFileSize(HANDLE h, DWORD* high) { return getFileSize(h, high); }
RAPI_EXPORT BOOL CeReadFile(HANDLE h, void* buffer, DWORD count, DWORD* done, void*)
{
    return readFile(h, buffer, count, done);
}
RAPI_EXPORT BOOL CeWriteFile(HANDLE h, const void* buffer, DWORD count, DWORD* done, void*)
{
    return writeFile(h, buffer, count, done);
}
RAPI_EXPORT BOOL CeCloseHandle(HANDLE h) { return closeHandle(h); }
RAPI_EXPORT DWORD CeGetFileAttributes(LPCWSTR name) { return getFileAttributes(name); }
RAPI_EXPORT BOOL CeSetFileAttributes(LPCWSTR name, DWORD attributes) { return setFileAttributes(name, attributes); }
RAPI_EXPORT BOOL CeDeleteFile(LPCWSTR name) { return deleteFile(name); }
RAPI_EXPORT DWORD CeGetLastError(void) { return getLastError(); }
