// Feeds arbitrary bytes to the cabinet reader: listing, counting and extracting must fail
// cleanly or succeed, and no member may ever land outside the output folder.
//
// Listing and counting run through CCabFile as the program uses it. Extraction runs the
// reader's own per-file steps (CCabFile::fileInCabinet) over libmspack with an in-memory
// mspack_system: the input is read from memory and the members are decompressed into a
// counting sink. The input file and the target folders live in a memory-backed folder, so
// no run waits for a disk. Every target path is checked against the output folder, and no
// member may decompress to more than its stated length.
#include "app/errors.h"
#include "theme/cab_file.h"

#include <mspack.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// --- an mspack_system over one input in memory and one output sink ------------------------

struct MemoryFile {
    const std::uint8_t* data = nullptr; // null for the output sink
    std::size_t size = 0;
    std::size_t pos = 0;
    std::size_t written = 0;
    std::size_t limit = 0; // most bytes the sink takes
};

struct MemorySystem {
    mspack_system base; // first, so libmspack's pointer is ours
    const std::uint8_t* input = nullptr;
    std::size_t inputSize = 0;
    std::size_t sinkLimit = 0;
    std::size_t sinkWritten = 0;
};

constexpr const char* kInputName = "input.cab";
constexpr const char* kOutputName = "member";

mspack_file* memOpen(mspack_system* self, const char* filename, int mode)
{
    auto* sys = reinterpret_cast<MemorySystem*>(self);
    auto* f = new MemoryFile;
    if (mode == MSPACK_SYS_OPEN_READ && std::strcmp(filename, kInputName) == 0) {
        f->data = sys->input;
        f->size = sys->inputSize;
    } else if (mode == MSPACK_SYS_OPEN_WRITE && std::strcmp(filename, kOutputName) == 0) {
        f->limit = sys->sinkLimit;
    } else {
        delete f;
        return nullptr;
    }
    return reinterpret_cast<mspack_file*>(f);
}

void memClose(mspack_file* file) { delete reinterpret_cast<MemoryFile*>(file); }

int memRead(mspack_file* file, void* buffer, int bytes)
{
    auto* f = reinterpret_cast<MemoryFile*>(file);
    if (!f->data || bytes < 0) return -1;
    const std::size_t n = std::min<std::size_t>(std::size_t(bytes), f->size - f->pos);
    std::memcpy(buffer, f->data + f->pos, n);
    f->pos += n;
    return int(n);
}

MemorySystem* currentSystem = nullptr;

int memWrite(mspack_file* file, void*, int bytes)
{
    auto* f = reinterpret_cast<MemoryFile*>(file);
    if (f->data || bytes < 0) return -1;
    f->written += std::size_t(bytes);
    if (currentSystem) currentSystem->sinkWritten = f->written;
    if (f->written > f->limit) return -1; // more than the member claims: refuse it
    return bytes;
}

int memSeek(mspack_file* file, off_t offset, int mode)
{
    auto* f = reinterpret_cast<MemoryFile*>(file);
    off_t base = 0;
    switch (mode) {
    case MSPACK_SYS_SEEK_START: base = 0; break;
    case MSPACK_SYS_SEEK_CUR: base = off_t(f->pos); break;
    case MSPACK_SYS_SEEK_END: base = off_t(f->size); break;
    default: return -1;
    }
    const off_t to = base + offset;
    if (to < 0 || std::size_t(to) > f->size) return -1;
    f->pos = std::size_t(to);
    return 0;
}

off_t memTell(mspack_file* file) { return off_t(reinterpret_cast<MemoryFile*>(file)->pos); }
void memMessage(mspack_file*, const char*, ...) {}
void* memAlloc(mspack_system*, size_t bytes) { return std::malloc(bytes); }
void memFree(void* p) { std::free(p); }
void memCopy(void* src, void* dest, size_t bytes) { std::memmove(dest, src, bytes); }

MemorySystem memorySystem(const std::uint8_t* data, std::size_t size)
{
    MemorySystem sys{};
    sys.base = {memOpen, memClose, memRead, memWrite, memSeek, memTell, memMessage,
                memAlloc, memFree, memCopy, nullptr};
    sys.input = data;
    sys.inputSize = size;
    return sys;
}

// --- the checks --------------------------------------------------------------------------

// The input is written where CCabFile can open it, and the reader makes the target folders:
// a memory-backed folder where the system has one, so no run waits for a disk.
QTemporaryDir& workDir()
{
    const QFileInfo shm(QStringLiteral("/dev/shm"));
    static QTemporaryDir dir((shm.isDir() && shm.isWritable() ? shm.filePath() : QDir::tempPath()) +
                             QStringLiteral("/fuzz_cab_file-XXXXXX"));
    if (!dir.isValid())
        std::abort();
    return dir;
}

// Every file and folder under root, as paths relative to root.
QStringList entriesUnder(const QString& root)
{
    QStringList out;
    QDirIterator it(root, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        out << QDir(root).relativeFilePath(it.next());
    return out;
}

[[noreturn]] void fault(const char* what, const QString& detail)
{
    std::fprintf(stderr, "%s: %s\n", what, qPrintable(detail));
    std::abort();
}

// The reader's own steps for each member, with the bytes going to the sink.
void extractInMemory(orv::CCabFile& reader, const std::uint8_t* data, std::size_t size,
                     const QString& outDir)
{
    MemorySystem sys = memorySystem(data, size);
    mscab_decompressor* cabd = mspack_create_cab_decompressor(&sys.base);
    if (!cabd)
        return;
    mscabd_cabinet* cab = cabd->open(cabd, kInputName);
    if (cab) {
        for (mscabd_file* f = cab->files; f; f = f->next) {
            orv::CCabFile::FileInCabinet file;
            file.name = (f->attribs & MSCAB_ATTRIB_UTF_NAME) ? QString::fromUtf8(f->filename).toLatin1()
                                                             : QByteArray(f->filename);
            file.size = f->length;
            const unsigned answer = reader.fileInCabinet(orv::CCabFile::ModeExtract, file);
            if (answer == orv::CCabFile::AnswerStop) break;
            if (answer != orv::CCabFile::AnswerExtract) continue;
            const QString target = QDir::cleanPath(file.target);
            if (!target.startsWith(outDir + QLatin1Char('/')))
                fault("a member would be written outside the output folder", file.target);
            sys.sinkLimit = f->length;
            sys.sinkWritten = 0;
            currentSystem = &sys;
            const int rc = cabd->extract(cabd, f, kOutputName);
            currentSystem = nullptr;
            if (rc == MSPACK_ERR_OK && sys.sinkWritten != f->length)
                fault("a member decompressed to another length than it states", file.target);
            reader.fileExtracted(target, rc == MSPACK_ERR_OK ? 0u : 13u);
        }
        cabd->close(cabd, cab);
    }
    mspack_destroy_cab_decompressor(cabd);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString root = workDir().path();
    const QString cabPath = root + QStringLiteral("/in.cab");
    const QString outDir = root + QStringLiteral("/box/out");
    {
        QFile f(cabPath);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();
        f.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    }

    orv::CCabFile cab;
    cab.setCabName(cabPath);
    try {
        (void)cab.GetXML(QString());
    } catch (const orv::AppError&) {
    }
    try {
        (void)cab.FileCount();
    } catch (const orv::AppError&) {
    }
    // The program's walk over the file, every member declined: it checks the headers and
    // sets the output folder. Only a cabinet it accepts is extracted, as in the program.
    bool accepted = false;
    cab.BeforeExtract = [](const QString&, bool& cancel) { cancel = true; };
    try {
        accepted = cab.Extract(QString(), outDir, QString());
    } catch (const orv::AppError&) {
    }
    cab.BeforeExtract = nullptr;
    if (accepted)
        extractInMemory(cab, data, size, outDir);

    for (const QString& e : entriesUnder(root))
        if (e != QLatin1String("in.cab") && e != QLatin1String("box") &&
            e != QLatin1String("box/out") && !e.startsWith(QLatin1String("box/out/")))
            fault("written outside the output folder", e);
    QDir(root + QStringLiteral("/box")).removeRecursively();
    return 0;
}
