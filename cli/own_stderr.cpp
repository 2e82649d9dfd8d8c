#include "cli/own_stderr.h"

#include <cstdint>
#include <fcntl.h>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/common_interface_defs.h>
#endif

namespace orv::cli {

namespace {
std::FILE* own = nullptr;
}

void setAsideStderr()
{
    if (own) return;
    const int copy = ::fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 3);
    const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    std::FILE* stream = copy >= 0 ? ::fdopen(copy, "w") : nullptr;
    if (!stream || null < 0) {
        // Nothing is hidden rather than the tool's own messages lost.
        if (stream) std::fclose(stream);
        else if (copy >= 0) ::close(copy);
        if (null >= 0) ::close(null);
        return;
    }
    std::fflush(stderr);
    if (::dup2(null, STDERR_FILENO) < 0) {
        std::fclose(stream);
        ::close(null);
        return;
    }
    ::close(null);
    own = stream;
#if defined(__SANITIZE_ADDRESS__)
    __sanitizer_set_report_fd(reinterpret_cast<void*>(static_cast<std::intptr_t>(copy)));
#endif
}

std::FILE* ownStderr() { return own ? own : stderr; }

} // namespace orv::cli
