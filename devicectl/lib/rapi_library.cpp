// Loads the Remote API library and looks up every call it needs; a library that lacks one is
// not used at all.
#include "devicectl/lib/rapi_library.h"

#include "devicectl/cradlelink.h"
#include "devicectl/lib/automation.h"

#include <cstdlib>
#include <dlfcn.h>

namespace orv::cradlelink {

RapiLibrary::~RapiLibrary()
{
    if (handle_) dlclose(handle_);
}

std::string RapiLibrary::pathToLoad()
{
    if (const char* named = std::getenv("ORVANTIS_RAPI_LIBRARY"); named && *named) return named;
    const std::string self = libraryPath();
    const auto slash = self.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string(".") : self.substr(0, slash);
    return folder + "/" CRADLELINK_RAPI_LIBRARY_NAME;
}

std::unique_ptr<RapiLibrary> RapiLibrary::load()
{
    auto lib = std::make_unique<RapiLibrary>();
    lib->handle_ = dlopen(pathToLoad().c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!lib->handle_) return nullptr;
    bool complete = true;
    auto bind = [&](auto& fn, const char* name) {
        fn = reinterpret_cast<std::remove_reference_t<decltype(fn)>>(dlsym(lib->handle_, name));
        complete = complete && fn;
    };
    bind(lib->RapiInitEx, "CeRapiInitEx");
    bind(lib->RapiUninit, "CeRapiUninit");
    bind(lib->FindFirstFile, "CeFindFirstFile");
    bind(lib->FindNextFile, "CeFindNextFile");
    bind(lib->FindClose, "CeFindClose");
    bind(lib->CreateFile, "CeCreateFile");
    bind(lib->GetFileSize, "CeGetFileSize");
    bind(lib->ReadFile, "CeReadFile");
    bind(lib->WriteFile, "CeWriteFile");
    bind(lib->CloseHandle, "CeCloseHandle");
    bind(lib->GetFileAttributes, "CeGetFileAttributes");
    bind(lib->SetFileAttributes, "CeSetFileAttributes");
    bind(lib->DeleteFile, "CeDeleteFile");
    bind(lib->GetLastError, "CeGetLastError");
    return complete ? std::move(lib) : nullptr;
}

} // namespace orv::cradlelink
