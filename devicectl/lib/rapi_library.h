#pragma once
// The Remote API library, loaded at run time: librapi.so beside this library, or the one
// ORVANTIS_RAPI_LIBRARY names. Each control object holds its own reference.

#include "devicelink/rapi.h"

#include <memory>
#include <string>

namespace orv::cradlelink {

struct RapiLibrary {
    decltype(&CeRapiInitEx) RapiInitEx = nullptr;
    decltype(&CeRapiUninit) RapiUninit = nullptr;
    decltype(&CeFindFirstFile) FindFirstFile = nullptr;
    decltype(&CeFindNextFile) FindNextFile = nullptr;
    decltype(&CeFindClose) FindClose = nullptr;
    decltype(&CeCreateFile) CreateFile = nullptr;
    decltype(&CeGetFileSize) GetFileSize = nullptr;
    decltype(&CeReadFile) ReadFile = nullptr;
    decltype(&CeWriteFile) WriteFile = nullptr;
    decltype(&CeCloseHandle) CloseHandle = nullptr;
    decltype(&CeGetFileAttributes) GetFileAttributes = nullptr;
    decltype(&CeSetFileAttributes) SetFileAttributes = nullptr;
    decltype(&CeDeleteFile) DeleteFile = nullptr;
    decltype(&CeGetLastError) GetLastError = nullptr;

    ~RapiLibrary();
    RapiLibrary() = default;
    RapiLibrary(const RapiLibrary&) = delete;
    RapiLibrary& operator=(const RapiLibrary&) = delete;

    // Null when the library cannot be loaded or lacks one of the calls.
    static std::unique_ptr<RapiLibrary> load();
    static std::string pathToLoad();

private:
    void* handle_ = nullptr;
};

} // namespace orv::cradlelink
