#pragma once
// The PC file a copy from the handheld writes: a temporary file beside the target that
// replaces it only when the copy is whole, only where the user could write the target
// itself, and with the target's own permission bits. The temporary file is removed however
// the copy ends; those of copies that were killed are removed by the next copy into the folder.

#include "devicectl/lib/automation.h"

#include <cstddef>
#include <string>

namespace orv::cradlelink {

class PcTarget {
public:
    // Checks the target and creates the temporary file. Throws 75 for a target the user may
    // not write or that is no regular file, 76 for a missing folder, 61 for a full disk.
    explicit PcTarget(std::string target);
    ~PcTarget(); // removes the temporary file unless committed
    PcTarget(const PcTarget&) = delete;
    PcTarget& operator=(const PcTarget&) = delete;

    void write(const unsigned char* data, size_t n); // throws as the constructor does
    void commit();                                   // renames over the target; throws likewise
    const std::string& tempPath() const { return temp_; }

private:
    void abandon();

    std::string target_;
    std::string temp_;
    int fd_ = -1;
    bool hadTarget_ = false;
    unsigned mode_ = 0;
    unsigned uid_ = 0, gid_ = 0;
};

// The prefix of this library's temporary files; the process id and a random part follow.
inline constexpr const char* kPcTempPrefix = ".orv-";

// Removes the temporary files in folder left by copies whose process is gone: only the
// user's own regular files, never through a link. Returns how many were removed.
int removeDeadCopies(const std::string& folder);

// The automation error for a failed write or create on the PC side.
AutomationError pcWriteError(int e);

} // namespace orv::cradlelink
