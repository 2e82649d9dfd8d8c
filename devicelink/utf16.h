#pragma once
// UTF-8 and UTF-16 conversions shared by the device link and the control. No dependencies.

#include <string>
#include <string_view>

namespace orv::rapi {

bool utf8ToUtf16(std::string_view in, std::u16string& out); // false on malformed UTF-8
bool utf16ToUtf8(std::u16string_view in, std::string& out); // false on an unpaired surrogate

} // namespace orv::rapi
