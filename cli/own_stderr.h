#pragma once
// stderr carries the tool's own messages and nothing else. Libraries print on their own
// (libpng's "libpng error: Read Error", GraphicsMagick's warnings), so the process's stderr
// is pointed at the null device and the tool writes to a copy it kept aside.

#include <cstdio>

namespace orv::cli {

// Keeps a copy of stderr for ownStderr() and sends everything else written there to the
// null device. Sanitizer reports follow the copy. Call once, before any library work.
void setAsideStderr();
// The stream for the tool's own messages: the kept copy, or stderr before setAsideStderr.
std::FILE* ownStderr();

} // namespace orv::cli
