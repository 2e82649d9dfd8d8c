#pragma once
// What the reliability tests share: cabinets written byte by byte at test time (hostile
// sizes and counts no builder would produce), and a write that fails part-way for real.
//
// The failing write is the kernel's file size limit: every write past it fails (EFBIG)
// whoever makes it (Qt, stdio, libmspack, gio, a child process), like a disk that fills up
// part-way through a file.

#include <QByteArray>
#include <QList>
#include <QProcess>
#include <QtEndian>

#include <csignal>
#include <sys/resource.h>

namespace orv::test {

// Lowers the file size limit of this process for the scope's life.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &saved_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN); // a failed write, not a killed process
        rlimit lower = saved_;
        lower.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &lower);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

    // The same limit for a child process only.
    static void applyTo(QProcess& process, rlim_t bytes)
    {
        process.setChildProcessModifier([bytes] {
            std::signal(SIGXFSZ, SIG_IGN);
            rlimit lower;
            getrlimit(RLIMIT_FSIZE, &lower);
            lower.rlim_cur = bytes;
            setrlimit(RLIMIT_FSIZE, &lower);
        });
    }

private:
    rlimit saved_{};
    void (*oldHandler_)(int) = SIG_DFL;
};

// A cabinet as its header describes it. Folder 0 holds the data blocks; any further folders
// are empty. Lengths and offsets are written as given, true or not.
struct CabSpec {
    struct File {
        QByteArray name;
        quint32 length;
        quint32 offset;
        quint16 folder = 0;
    };
    bool mszip = false;
    int folders = 1;
    QList<QByteArray> blocks; // each block's unpacked bytes, at most 32 KB
    QList<File> files;
};

inline QByteArray le16(quint16 v)
{
    QByteArray b(2, 0);
    qToLittleEndian(v, b.data());
    return b;
}

inline QByteArray le32(quint32 v)
{
    QByteArray b(4, 0);
    qToLittleEndian(v, b.data());
    return b;
}

// One MSZIP block: "CK" and a raw deflate stream (zlib's, without its header and checksum).
inline QByteArray mszipBlock(const QByteArray& unpacked)
{
    const QByteArray z = qCompress(unpacked, 9);
    return "CK" + z.mid(4 + 2, z.size() - 4 - 2 - 4);
}

inline QByteArray cabinetBytes(const CabSpec& spec)
{
    QByteArray files;
    for (const CabSpec::File& f : spec.files)
        files += le32(f.length) + le32(f.offset) + le16(f.folder) + le16(0x5C6E) + le16(0x48A0) +
                 le16(0x20) + f.name + '\0';
    QByteArray data;
    const char* last = nullptr; // blocks sharing one buffer are packed once
    QByteArray packed;
    for (const QByteArray& block : spec.blocks) {
        if (block.constData() != last) packed = spec.mszip ? mszipBlock(block) : block;
        last = block.constData();
        data += le32(0) + le16(quint16(packed.size())) + le16(quint16(block.size())) + packed;
    }
    const quint32 coffFiles = 36 + 8 * quint32(spec.folders);
    const quint32 dataStart = coffFiles + quint32(files.size());
    QByteArray folders;
    for (int i = 0; i < spec.folders; ++i)
        folders += le32(dataStart) + le16(i == 0 ? quint16(spec.blocks.size()) : 0) +
                   le16(spec.mszip ? 1 : 0);
    const quint32 total = dataStart + quint32(data.size());
    const QByteArray header = "MSCF" + le32(0) + le32(total) + le32(0) + le32(coffFiles) +
                              le32(0) + QByteArray("\x03\x01", 2) + le16(quint16(spec.folders)) +
                              le16(quint16(spec.files.size())) + le16(0) + le16(0x1234) + le16(0);
    return header + folders + files + data;
}

// A compressed folder of `blocks` blocks of 32 KB of zeros: a few hundred bytes on disk for
// each megabyte it unpacks to.
inline CabSpec zeroFolder(int blocks)
{
    CabSpec spec;
    spec.mszip = true;
    const QByteArray zeros(32768, '\0');
    for (int i = 0; i < blocks; ++i) spec.blocks << zeros;
    return spec;
}

} // namespace orv::test
