#pragma once
// The device link behind librapi.so: a folder served as the handheld's file system, with the
// Remote API's calls, handles and error numbers. The exported C functions forward here; the
// fault-injecting double of the tests forwards here too.

#include "devicelink/rapi.h"

#include <string>

namespace orv::rapi {

HRESULT rapiInitEx(RAPIINIT* init);
HRESULT rapiUninit();
HANDLE findFirstFile(LPCWSTR pattern, CE_FIND_DATA* data);
BOOL findNextFile(HANDLE search, CE_FIND_DATA* data);
BOOL findClose(HANDLE search);
HANDLE createFile(LPCWSTR path, DWORD access, DWORD share, DWORD disposition, DWORD flags);
DWORD getFileSize(HANDLE file, DWORD* high);
BOOL readFile(HANDLE file, void* buffer, DWORD count, DWORD* done);
BOOL writeFile(HANDLE file, const void* buffer, DWORD count, DWORD* done);
BOOL closeHandle(HANDLE handle);
DWORD getFileAttributes(LPCWSTR path);
BOOL setFileAttributes(LPCWSTR path, DWORD attributes);
BOOL deleteFile(LPCWSTR path);
DWORD getLastError();
void setLastError(DWORD error);

// Searches and files open now (a closed connection closes them all).
int openHandleCount();

// The device folder the next connection serves: ORVANTIS_DEVICE_ROOT, else
// $XDG_DATA_HOME/Orvantis/device (~/.local/share when XDG_DATA_HOME is unset).
std::string deviceRootFromEnvironment();

} // namespace orv::rapi
