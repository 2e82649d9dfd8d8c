#pragma once
// UCRapi1: the device file-access control on the transfer window. libcradlelink.so is loaded
// at run time, its UCRapi created through the class factory, and the CRapi object read from
// oRapi; every call goes through the dispatch interface by member id. A failed call throws
// AppError with the control's number, source and description.

#include <QString>
#include <functional>
#include <memory>

namespace orv {

// The control's own messages (missing names, failed device opens and writes).
using ControlMessageHandler = std::function<void(const QString& text)>;

// The CRapi members the transfer window uses, nothing more.
class RapiObject {
public:
    virtual ~RapiObject() = default;

    virtual int ConnectRapi() = 0;
    virtual int DisconnectRapi() = 0;
    virtual int LastError() = 0;
    virtual void setPPCSearchPath(const QString& pattern) = 0;
    virtual int FindFirstFile() = 0;
    virtual int FindNextFile() = 0;
    virtual QString PPCFoundFile() = 0;
    virtual int Attributes() = 0;
    virtual int GetPPCFileSize(const QString& deviceFile) = 0;
    virtual void setPCFileNameToWrite(const QString& path) = 0;
    virtual void setPPCFileNameToRead(const QString& path) = 0;
    virtual bool TransferFileFromPPC() = 0;
    virtual void setPCFileNameToRead(const QString& path) = 0;
    virtual void setPPCFileNameToWrite(const QString& path) = 0;
    virtual bool TransferFileToPPC() = 0;
    virtual void setPPCFileToDelete(const QString& path) = 0;
    virtual bool DeletePPCFile() = 0;
};

class CradlelinkControl {
public:
    virtual ~CradlelinkControl() = default;
    virtual RapiObject& oRapi() = 0;

    // Loads the library registered for Cradlelink.UCRapi (else the one beside the program),
    // creates the control and installs handler for its messages. Throws AppError.
    static std::unique_ptr<CradlelinkControl> create(ControlMessageHandler handler);
};

// The attribute bit that marks a folder.
inline constexpr int kAttributeDirectory = 16;

} // namespace orv
