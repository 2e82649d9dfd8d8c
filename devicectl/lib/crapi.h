#pragma once
// CRapi's state and its members, free of the component model: the dispatch and dual
// interfaces call these. A member that fails as a call throws AutomationError.

#include "devicectl/lib/automation.h"
#include "devicectl/lib/rapi_library.h"

#include <memory>
#include <string>

namespace orv::cradlelink {

class CRapi {
public:
    CRapi() = default;
    ~CRapi();
    CRapi(const CRapi&) = delete;
    CRapi& operator=(const CRapi&) = delete;

    LONG ConnectRapi();
    LONG DisconnectRapi();
    LONG FindFirstFile();
    LONG FindNextFile();
    void FindClose();
    LONG Attributes() const { return static_cast<LONG>(find_.dwFileAttributes); }
    LONG GetPPCFileSize(const std::u16string& strFile);
    bool TransferFileFromPPC();
    bool TransferFileToPPC();
    LONG LastError();
    bool DeletePPCFile();

    // The named properties, read and written directly.
    std::u16string searchPath, foundName, ppcToWrite, ppcToRead, pcToWrite, pcToRead, ppcToDelete;

private:
    RapiLibrary& rapi();
    // The library for a member that calls the device: a refusal of an earlier member is over.
    RapiLibrary& device();
    // True, and LastError answers 123, when a device path holds a NUL.
    bool refusedPath(const std::u16string& path);
    // Opens a device file for reading as a size query or a copy does; -1 when it cannot.
    HANDLE openForReading(const std::u16string& path);
    // Closes the search held in the handle slot before the slot is given to something else.
    void releaseSlot();
    void setSlot(HANDLE h, bool isSearch);
    void closeFileInSlot();
    LONG readRecordName();

    std::unique_ptr<RapiLibrary> library_;
    CE_FIND_DATA find_{};
    LONG slot_ = -1;
    bool slotIsSearch_ = false;
    DWORD refused_ = 0;
};

} // namespace orv::cradlelink
