#pragma once
// Inside the control library: automation strings, the error a member raises, the message
// boxes, and the counts that DllCanUnloadNow answers from.

#include "devicectl/cradlelink.h"

#include <atomic>
#include <string>

#define CRADLELINK_EXPORT extern "C" __attribute__((visibility("default")))

namespace orv::cradlelink {

// An automation error raised by a member: number (53 "File not found"...) and description.
struct AutomationError {
    int number;
    std::u16string description;
    HRESULT hresult() const { return CRADLELINK_ERROR_HRESULT(number); }
};

AutomationError fileNotFound();          // 53
AutomationError pathNotFound();          // 76
AutomationError fileAccessError();       // 75
AutomationError diskFull();              // 61
AutomationError badFileName();           // 52
AutomationError outOfMemory();           // 7
AutomationError dllLoadError();          // 48

// BSTR helpers over the library's own allocator.
BSTR makeBstr(std::u16string_view text); // throws std::bad_alloc
std::u16string bstrText(BSTR text);

// Shows one of the control's message boxes through the host's handler (stderr without one).
void showMessage(std::u16string_view text);

// Live objects and server locks.
extern std::atomic<long> gObjects;
extern std::atomic<long> gLocks;

// The absolute path of this library, found from one of its own symbols.
std::string libraryPath();

} // namespace orv::cradlelink
