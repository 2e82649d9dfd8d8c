#include "theme/theme_data_file.h"

#include "app/errors.h"
#include "theme/theme_model.h"

#include <cstring>

namespace orv {

namespace {

// The data part of the template ends here; the three bytes after it are never written.
constexpr int kDataEnd = 520;
constexpr int kNameOffset = 100;

struct HeaderField {
    int offset;
    int width; // bytes
};
// The fields that move with the name's length: the file length, the six table offsets and
// the application name length, provider name and unsupported-platforms offsets.
constexpr HeaderField kMovingFields[] = {
    {8, 4}, {60, 4}, {64, 4}, {68, 4}, {72, 4}, {76, 4}, {80, 4}, {86, 2}, {88, 2}, {92, 2},
};
// The largest template value among the 16-bit moving fields (the platforms list offset).
constexpr int kLargest16BitField = 110;

std::uint32_t readLE(const QByteArray& b, int offset, int width)
{
    std::uint32_t v = 0;
    for (int i = width - 1; i >= 0; --i)
        v = (v << 8) | static_cast<std::uint8_t>(b[offset + i]);
    return v;
}

void writeLE(QByteArray& b, int offset, int width, std::uint32_t v)
{
    for (int i = 0; i < width; ++i) {
        b[offset + i] = static_cast<char>(v & 0xFF);
        v >>= 8;
    }
}

// "%CE" + any byte + "%": the text of the first installer macro string.
bool anchorAt(const QByteArray& b, qsizetype p)
{
    return b[p] == '%' && b[p + 1] == 'C' && b[p + 2] == 'E' && b[p + 4] == '%';
}

// Distance of each colour's value bytes from the anchor, in slot order: six entries with
// one-character names 18 bytes apart, then seven with two-character names 19 apart.
std::array<int, kSlotCount> colourOffsets()
{
    std::array<int, kSlotCount> out{};
    int q = 148;
    for (int i = 0; i < kSlotCount; ++i) {
        out[static_cast<size_t>(i)] = q;
        q += i < 5 ? 18 : 19;
    }
    return out;
}

AppError damagedTemplate()
{
    return AppError(13, QStringLiteral("Orvantis"), QStringLiteral("The theme template is damaged."));
}

} // namespace

int maxThemeNameLength() { return 0xFFFF - (kLargest16BitField - 1); }

QByteArray buildThemeDataFile(const QByteArray& themeTemplate, const QString& name,
                              const std::array<Colour, 13>& colours)
{
    if (themeTemplate.size() < kDataEnd + 1 || !themeTemplate.startsWith("MSCE"))
        throw damagedTemplate();

    const QByteArray nameBytes = name.toLatin1();
    const int L = static_cast<int>(nameBytes.size());
    if (L > maxThemeNameLength())
        throw AppError(6, QStringLiteral("Orvantis"),
                       QStringLiteral("The theme name is too long."));

    // Patch a private copy: the shared template stays as loaded.
    QByteArray body = themeTemplate.left(kDataEnd + 1);

    qsizetype p = -1;
    for (qsizetype i = kNameOffset; i < kDataEnd && i + 4 < body.size(); ++i)
        if (anchorAt(body, i)) {
            p = i;
            break;
        }
    const auto offsets = colourOffsets();
    if (p < 0 || p + offsets.back() + 2 > kDataEnd)
        throw damagedTemplate();
    for (size_t s = 0; s < offsets.size(); ++s) {
        const Colour c = colours[s];
        const qsizetype q = p + offsets[s];
        body[q] = static_cast<char>(RedOf(c) & 0xFF);
        body[q + 1] = static_cast<char>(GreenOf(c) & 0xFF);
        body[q + 2] = static_cast<char>(BlueOf(c) & 0xFF);
    }

    QByteArray out;
    out.reserve(kDataEnd + L);
    out.append(body.constData(), kNameOffset);
    for (const auto& f : kMovingFields) {
        const std::uint32_t v = readLE(themeTemplate, f.offset, f.width);
        writeLE(out, f.offset, f.width, v + static_cast<std::uint32_t>(L) - 1u);
    }
    out.append(nameBytes);
    out.append(body.constData() + kNameOffset + 1, kDataEnd - kNameOffset);
    return out;
}

QString readThemeName(const QByteArray& data)
{
    if (data.size() <= kNameOffset) return {};
    const char* start = data.constData() + kNameOffset;
    const qsizetype room = data.size() - kNameOffset;
    const void* zero = std::memchr(start, 0, static_cast<size_t>(room));
    const qsizetype len = zero ? static_cast<const char*>(zero) - start : room;
    return QString::fromLatin1(start, len);
}

void readThemeColours(const QByteArray& data, std::array<Colour, 13>& colours)
{
    const qsizetype n = data.size();
    qsizetype p = -1;
    for (qsizetype i = 0; i + 4 < n; ++i)
        if (anchorAt(data, i)) {
            p = i;
            break;
        }
    if (p < 0) return;

    const auto byteAt = [&](qsizetype i) { return static_cast<std::uint8_t>(data[i]); };
    const auto take = [&](int slot, qsizetype k) {
        colours[static_cast<size_t>(slot)] = rgbColour(byteAt(k + 2), byteAt(k + 3), byteAt(k + 4));
    };
    // One-character names and two-character names, with their slots.
    static const std::array<std::pair<char, int>, 6> one = {
        {{'5', 0}, {'8', 1}, {'9', 2}, {'4', 3}, {'6', 4}, {'7', 5}}};
    static const std::array<std::pair<const char*, int>, 7> two = {{{"10", 6},
                                                                     {"11", 7},
                                                                     {"12", 8},
                                                                     {"13", 9},
                                                                     {"14", 10},
                                                                     {"25", 11},
                                                                     {"26", 12}}};

    // Start no lower than 3 so that the look-behind bytes exist; stop where the value
    // bytes would run past the end.
    for (qsizetype k = std::max<qsizetype>(p + 138, 3); k + 4 < n; ++k) {
        if (byteAt(k + 1) != 0) continue;
        const char c = data[k];
        if (byteAt(k - 2) == 6 && byteAt(k - 1) == 0) {
            for (const auto& [name, slot] : one)
                if (c == name) take(slot, k);
        }
        if (byteAt(k - 3) == 7 && byteAt(k - 2) == 0) {
            for (const auto& [name, slot] : two)
                if (data[k - 1] == name[0] && c == name[1]) take(slot, k);
        }
    }
}

} // namespace orv
