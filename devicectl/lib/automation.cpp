// Automation strings (length-prefixed UTF-16 that this library allocates and frees), the error
// values members raise, and the route of the control's message boxes to the host.
#include "devicectl/lib/automation.h"

#include "devicelink/utf16.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <memory>
#include <mutex>
#include <new>

namespace orv::cradlelink {

std::atomic<long> gObjects{0};
std::atomic<long> gLocks{0};

AutomationError fileNotFound() { return {53, u"File not found"}; }
AutomationError pathNotFound() { return {76, u"Path not found"}; }
AutomationError fileAccessError() { return {75, u"Path/File access error"}; }
AutomationError diskFull() { return {61, u"Disk full"}; }
AutomationError badFileName() { return {52, u"Bad file name or number"}; }
AutomationError outOfMemory() { return {7, u"Out of memory"}; }
AutomationError dllLoadError() { return {48, u"Error in loading DLL"}; }

BSTR makeBstr(std::u16string_view text)
{
    if (text.size() > UINT_MAX / 2) throw std::bad_alloc();
    BSTR b = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    if (!b) throw std::bad_alloc();
    return b;
}

std::u16string bstrText(BSTR text)
{
    return text ? std::u16string(text, SysStringLen(text)) : std::u16string();
}

namespace {

std::mutex gHandlerMutex;
CradlelinkMessageHandler gHandler = nullptr;
void* gHandlerContext = nullptr;

} // namespace

void showMessage(std::u16string_view text)
{
    CradlelinkMessageHandler handler;
    void* context;
    {
        std::lock_guard lock(gHandlerMutex);
        handler = gHandler;
        context = gHandlerContext;
    }
    const std::u16string owned(text);
    if (handler) {
        handler(context, owned.c_str(), u"" CRADLELINK_MESSAGE_TITLE);
        return;
    }
    std::string utf8;
    orv::rapi::utf16ToUtf8(owned, utf8);
    std::fprintf(stderr, "Cradlelink: %s\n", utf8.c_str());
    std::fflush(stderr);
}

std::string libraryPath()
{
    Dl_info info{};
    if (!dladdr(reinterpret_cast<void*>(&DllGetClassObject), &info) || !info.dli_fname) return {};
    std::unique_ptr<char, decltype(&std::free)> real(realpath(info.dli_fname, nullptr), &std::free);
    return real ? std::string(real.get()) : std::string(info.dli_fname);
}

} // namespace orv::cradlelink

using namespace orv::cradlelink;

// The length prefix holds the byte count, as the platform lays it out.
CRADLELINK_EXPORT BSTR SysAllocStringLen(const WCHAR* text, UINT length)
{
    if (length > (UINT_MAX - sizeof(uint32_t) - sizeof(WCHAR)) / sizeof(WCHAR)) return nullptr;
    const size_t bytes = static_cast<size_t>(length) * sizeof(WCHAR);
    auto* block = static_cast<unsigned char*>(std::malloc(sizeof(uint32_t) + bytes + sizeof(WCHAR)));
    if (!block) return nullptr;
    const auto prefix = static_cast<uint32_t>(bytes);
    std::memcpy(block, &prefix, sizeof prefix);
    auto* chars = reinterpret_cast<WCHAR*>(block + sizeof(uint32_t));
    if (text) std::memcpy(chars, text, bytes);
    else std::memset(chars, 0, bytes);
    chars[length] = 0;
    return chars;
}

CRADLELINK_EXPORT UINT SysStringLen(BSTR text)
{
    if (!text) return 0;
    uint32_t bytes;
    std::memcpy(&bytes, reinterpret_cast<unsigned char*>(text) - sizeof(uint32_t), sizeof bytes);
    return bytes / sizeof(WCHAR);
}

CRADLELINK_EXPORT void SysFreeString(BSTR text)
{
    if (text) std::free(reinterpret_cast<unsigned char*>(text) - sizeof(uint32_t));
}

CRADLELINK_EXPORT void VariantInit(VARIANT* v)
{
    if (v) std::memset(v, 0, sizeof *v);
}

CRADLELINK_EXPORT HRESULT VariantClear(VARIANT* v)
{
    if (!v) return E_INVALIDARG;
    switch (v->vt) {
    case VT_BSTR: SysFreeString(v->u.bstrVal); break;
    case VT_DISPATCH: if (v->u.pdispVal) v->u.pdispVal->lpVtbl->Release(v->u.pdispVal); break;
    case VT_UNKNOWN: if (v->u.punkVal) v->u.punkVal->lpVtbl->Release(v->u.punkVal); break;
    default: break;
    }
    std::memset(v, 0, sizeof *v);
    return S_OK;
}

CRADLELINK_EXPORT void CradlelinkSetMessageHandler(CradlelinkMessageHandler handler, void* context)
{
    std::lock_guard lock(gHandlerMutex);
    gHandler = handler;
    gHandlerContext = context;
}

static_assert(sizeof(VARIANT) == 24, "VARIANT is 24 bytes on a 64-bit system");
static_assert(sizeof(GUID) == 16);
