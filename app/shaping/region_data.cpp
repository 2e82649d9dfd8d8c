#include "app/shaping/region_data.h"

#include "app/errors.h"
#include "app/safe_write.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <vector>

namespace orv {

namespace {

void put32(QByteArray& out, qint32 value)
{
    char bytes[4];
    qToLittleEndian<qint32>(value, bytes);
    out.append(bytes, 4);
}

qint32 get32(const QByteArray& bytes, qsizetype offset)
{
    return qFromLittleEndian<qint32>(bytes.constData() + offset);
}

// Unites the rectangles pairwise, so a long list costs n log n rectangle work rather than
// n squared; the rectangles of a file need not be banded or disjoint.
QRegion uniteAll(std::vector<QRegion> parts)
{
    if (parts.empty()) return QRegion();
    while (parts.size() > 1) {
        std::vector<QRegion> next;
        next.reserve(parts.size() / 2 + 1);
        for (size_t i = 0; i + 1 < parts.size(); i += 2) next.push_back(parts[i].united(parts[i + 1]));
        if (parts.size() % 2) next.push_back(parts.back());
        parts.swap(next);
    }
    return parts.front();
}

QString readErrorSource()
{
    QString exe = QStringLiteral("orvantis");
    if (QCoreApplication::instance())
        exe = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    return exe + ".cDIBSectionRegion";
}

} // namespace

QByteArray regionData(const QRegion& region)
{
    const QRect bound = region.boundingRect();
    const int count = region.rectCount();
    QByteArray out;
    out.reserve(kRegionHeaderSize + count * kRegionRectSize);
    put32(out, kRegionHeaderSize);
    put32(out, 1); // rectangles
    put32(out, count);
    put32(out, count * kRegionRectSize);
    put32(out, bound.x());
    put32(out, bound.y());
    put32(out, bound.x() + bound.width());
    put32(out, bound.y() + bound.height());
    for (const QRect& r : region) {
        put32(out, r.x());
        put32(out, r.y());
        put32(out, r.x() + r.width());
        put32(out, r.y() + r.height());
    }
    return out;
}

std::optional<QRegion> regionFromData(const QByteArray& bytes)
{
    if (bytes.size() < kRegionHeaderSize) return std::nullopt;
    const qint32 headerSize = get32(bytes, 0), type = get32(bytes, 4);
    const qint32 count = get32(bytes, 8), rectBytes = get32(bytes, 12);
    if (headerSize != kRegionHeaderSize || type != 1) return std::nullopt;
    if (count <= 0 || count > kRegionMaxRects) return std::nullopt;
    // Both the count and the stated size must account for every byte after the header.
    const qint64 expected = qint64(count) * kRegionRectSize;
    if (rectBytes != expected || bytes.size() - kRegionHeaderSize != expected) return std::nullopt;

    auto sound = [](qint32 l, qint32 t, qint32 r, qint32 b) {
        return l >= 0 && t >= 0 && l < r && t < b && r <= kRegionMaxCoordinate && b <= kRegionMaxCoordinate;
    };
    const qint32 bl = get32(bytes, 16), bt = get32(bytes, 20), br = get32(bytes, 24), bb = get32(bytes, 28);
    if (!sound(bl, bt, br, bb)) return std::nullopt;

    std::vector<QRegion> parts;
    parts.reserve(size_t(count));
    for (qint32 i = 0; i < count; ++i) {
        const qsizetype at = kRegionHeaderSize + qsizetype(i) * kRegionRectSize;
        const qint32 l = get32(bytes, at), t = get32(bytes, at + 4);
        const qint32 r = get32(bytes, at + 8), b = get32(bytes, at + 12);
        if (!sound(l, t, r, b)) return std::nullopt;
        if (l < bl || t < bt || r > br || b > bb) return std::nullopt;
        parts.emplace_back(l, t, r - l, b - t);
    }
    return uniteAll(std::move(parts));
}

std::optional<QRegion> readRegionDataFile(const QString& fileName)
{
    QFile file(fileName);
    if (!file.exists()) throw AppError(kErrFileNotFound, readErrorSource(), "File not found");
    if (!file.open(QIODevice::ReadOnly))
        throw AppError(75, readErrorSource(), "Path/File access error");
    // Nothing longer than the largest sound record is read into memory.
    const qint64 limit = kRegionHeaderSize + qint64(kRegionMaxRects) * kRegionRectSize;
    if (file.size() > limit) return std::nullopt;
    const QByteArray bytes = file.read(limit + 1);
    if (file.error() != QFileDevice::NoError)
        throw AppError(57, readErrorSource(), "Device I/O error");
    return regionFromData(bytes);
}

void writeRegionDataFile(const QString& fileName, const QByteArray& bytes)
{
    if (!writeFileWhole(fileName, bytes)) throw AppError(75, "TransForm", "Path/File access error");
}

} // namespace orv
