#include "artwork.h"

#include <QBuffer>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <array>
#include <map>
#include <unordered_map>
#include <vector>

namespace gen {

namespace {

struct Box {
    std::vector<std::pair<uint32_t, int>> colours; // 0xRRGGBB and its pixel count
};

int channel(uint32_t c, int axis) { return (c >> (16 - 8 * axis)) & 0xff; }

// Median cut over the picture's colours: split the box with the widest channel range
// (weighted by its pixel count) at the pixel median until there are 256 boxes.
QList<QRgb> medianCut(const QImage& rgb)
{
    std::map<uint32_t, int> histogram;
    for (int y = 0; y < rgb.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) ++histogram[line[x] & 0xffffff];
    }
    std::vector<Box> boxes(1);
    boxes[0].colours.assign(histogram.begin(), histogram.end());
    while (boxes.size() < 256) {
        int best = -1, bestAxis = 0;
        double bestScore = 0;
        for (size_t i = 0; i < boxes.size(); ++i) {
            if (boxes[i].colours.size() < 2) continue;
            long count = 0;
            for (auto& [c, n] : boxes[i].colours) count += n;
            for (int axis = 0; axis < 3; ++axis) {
                int lo = 255, hi = 0;
                for (auto& [c, n] : boxes[i].colours) {
                    lo = std::min(lo, channel(c, axis));
                    hi = std::max(hi, channel(c, axis));
                }
                const double score = double(hi - lo) * std::sqrt(double(count));
                if (score > bestScore) { bestScore = score; best = int(i); bestAxis = axis; }
            }
        }
        if (best < 0) break;
        auto& cols = boxes[size_t(best)].colours;
        std::stable_sort(cols.begin(), cols.end(), [&](auto& a, auto& b) {
            return channel(a.first, bestAxis) != channel(b.first, bestAxis)
                ? channel(a.first, bestAxis) < channel(b.first, bestAxis) : a.first < b.first;
        });
        long total = 0;
        for (auto& [c, n] : cols) total += n;
        long acc = 0;
        size_t cut = 1;
        for (size_t i = 0; i + 1 < cols.size(); ++i) {
            acc += cols[i].second;
            cut = i + 1;
            if (acc * 2 >= total) break;
        }
        Box upper;
        upper.colours.assign(cols.begin() + long(cut), cols.end());
        cols.resize(cut);
        boxes.push_back(std::move(upper));
    }
    QList<QRgb> palette;
    for (const Box& box : boxes) {
        double r = 0, g = 0, b = 0, n = 0;
        for (auto& [c, k] : box.colours) {
            r += channel(c, 0) * double(k); g += channel(c, 1) * double(k); b += channel(c, 2) * double(k);
            n += k;
        }
        palette.append(qRgb(int(r / n + 0.5), int(g / n + 0.5), int(b / n + 0.5)));
    }
    std::sort(palette.begin(), palette.end());
    palette.erase(std::unique(palette.begin(), palette.end()), palette.end());
    return palette;
}

int nearest(const QList<QRgb>& palette, int r, int g, int b)
{
    int best = 0, bestD = INT_MAX;
    for (int i = 0; i < palette.size(); ++i) {
        const int dr = qRed(palette[i]) - r, dg = qGreen(palette[i]) - g, db = qBlue(palette[i]) - b;
        const int d = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
        if (d < bestD) { bestD = d; best = i; }
    }
    return best;
}

} // namespace

QImage toIndexed(const QImage& source)
{
    const QImage rgb = source.convertToFormat(QImage::Format_RGB32);
    QList<QRgb> exact;
    {
        std::map<QRgb, int> seen;
        for (int y = 0; y < rgb.height() && seen.size() <= 256; ++y) {
            const QRgb* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
            for (int x = 0; x < rgb.width(); ++x) seen.emplace(line[x] | 0xff000000u, 0);
        }
        if (seen.size() <= 256)
            for (auto& [c, n] : seen) exact.append(c);
    }
    QImage out(rgb.size(), QImage::Format_Indexed8);
    if (!exact.isEmpty()) {
        out.setColorTable(exact);
        std::unordered_map<QRgb, int> index;
        for (int i = 0; i < exact.size(); ++i) index[exact[i]] = i;
        for (int y = 0; y < rgb.height(); ++y) {
            const QRgb* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
            uchar* dst = out.scanLine(y);
            for (int x = 0; x < rgb.width(); ++x) dst[x] = uchar(index[line[x] | 0xff000000u]);
        }
        return out;
    }
    // More than 256 colours: median cut, then a light ordered dither so that the long
    // gradients of the skins do not band.
    QList<QRgb> palette = medianCut(rgb);
    for (QRgb& c : palette) c |= 0xff000000u;
    out.setColorTable(palette);
    static const int bayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    std::unordered_map<uint32_t, int> cache;
    for (int y = 0; y < rgb.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        uchar* dst = out.scanLine(y);
        for (int x = 0; x < rgb.width(); ++x) {
            const int d = (bayer[y & 3][x & 3] - 8) / 2; // -4..3
            const int r = std::clamp(qRed(line[x]) + d, 0, 255);
            const int g = std::clamp(qGreen(line[x]) + d, 0, 255);
            const int b = std::clamp(qBlue(line[x]) + d, 0, 255);
            const uint32_t key = uint32_t(r << 16 | g << 8 | b);
            auto it = cache.find(key);
            if (it == cache.end()) it = cache.emplace(key, nearest(palette, r, g, b)).first;
            dst[x] = uchar(it->second);
        }
    }
    return out;
}

// Windows bitmap: 8 bits with the picture's own colour table when indexed, else 24 bits.
// Written here rather than through Qt's writer, which stores pictures of 16 colours or
// fewer with 4 bits.
QByteArray encodeBmp(const QImage& source)
{
    const bool indexed = source.format() == QImage::Format_Indexed8;
    const QImage img = indexed ? source : source.convertToFormat(QImage::Format_RGB32);
    const int bits = indexed ? 8 : 24;
    const int stride = ((img.width() * bits / 8) + 3) & ~3;
    const QList<QRgb> table = indexed ? img.colorTable() : QList<QRgb>();
    const int offset = 14 + 40 + int(table.size()) * 4;
    const int size = offset + stride * img.height();
    QByteArray out;
    auto le32 = [&](uint32_t v) { for (int i = 0; i < 4; ++i) out.append(char((v >> (8 * i)) & 0xff)); };
    auto le16b = [&](int v) { out.append(char(v & 0xff)); out.append(char((v >> 8) & 0xff)); };
    out.append("BM");
    le32(uint32_t(size)); le16b(0); le16b(0); le32(uint32_t(offset));
    le32(40); le32(uint32_t(img.width())); le32(uint32_t(img.height())); le16b(1); le16b(bits);
    le32(0); le32(uint32_t(stride * img.height())); le32(3780); le32(3780);
    le32(uint32_t(table.size())); le32(0);
    for (QRgb c : table) {
        out.append(char(qBlue(c))); out.append(char(qGreen(c))); out.append(char(qRed(c))); out.append(char(0));
    }
    for (int y = img.height() - 1; y >= 0; --y) {
        QByteArray row(stride, char(0));
        if (indexed) {
            std::memcpy(row.data(), img.constScanLine(y), size_t(img.width()));
        } else {
            const QRgb* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
            for (int x = 0; x < img.width(); ++x) {
                row[3 * x] = char(qBlue(line[x]));
                row[3 * x + 1] = char(qGreen(line[x]));
                row[3 * x + 2] = char(qRed(line[x]));
            }
        }
        out.append(row);
    }
    return out;
}

namespace {

class BitWriter {
public:
    explicit BitWriter(QByteArray& out) : out_(out) {}
    void put(int code, int bits)
    {
        acc_ |= uint32_t(code) << nbits_;
        nbits_ += bits;
        while (nbits_ >= 8) { byte(uchar(acc_ & 0xff)); acc_ >>= 8; nbits_ -= 8; }
    }
    void finish()
    {
        if (nbits_ > 0) byte(uchar(acc_ & 0xff));
        acc_ = 0; nbits_ = 0;
        flushBlock();
        out_.append(char(0)); // block terminator
    }

private:
    void byte(uchar b)
    {
        block_.append(char(b));
        if (block_.size() == 255) flushBlock();
    }
    void flushBlock()
    {
        if (block_.isEmpty()) return;
        out_.append(char(block_.size()));
        out_.append(block_);
        block_.clear();
    }
    QByteArray& out_;
    QByteArray block_;
    uint32_t acc_ = 0;
    int nbits_ = 0;
};

void le16(QByteArray& out, int v)
{
    out.append(char(v & 0xff));
    out.append(char((v >> 8) & 0xff));
}

} // namespace

QByteArray encodeGif(const QImage& img)
{
    QByteArray out("GIF89a");
    le16(out, img.width());
    le16(out, img.height());
    out.append(char(0xf7)); // global table of 256 entries, 8 bits per primary
    out.append(char(0));    // background index
    out.append(char(0));    // no aspect ratio
    const QList<QRgb> table = img.colorTable();
    for (int i = 0; i < 256; ++i) {
        const QRgb c = i < table.size() ? table[i] : 0;
        out.append(char(qRed(c))); out.append(char(qGreen(c))); out.append(char(qBlue(c)));
    }
    out.append(char(0x2c));
    le16(out, 0); le16(out, 0);
    le16(out, img.width()); le16(out, img.height());
    out.append(char(0)); // no local table, not interlaced
    const int minCodeSize = 8;
    out.append(char(minCodeSize));

    // LZW: codes grow from 9 bits when the last assigned code reaches the width's limit,
    // and the table starts over (clear code) when it is full.
    const int clearCode = 1 << minCodeSize, endCode = clearCode + 1;
    BitWriter bits(out);
    std::unordered_map<uint32_t, int> table2;
    int codeSize = minCodeSize + 1, maxCode = endCode;
    bits.put(clearCode, codeSize);
    int current = -1;
    for (int y = 0; y < img.height(); ++y) {
        const uchar* line = img.constScanLine(y);
        for (int x = 0; x < img.width(); ++x) {
            const int value = line[x];
            if (current < 0) { current = value; continue; }
            const uint32_t key = uint32_t(current) << 8 | uint32_t(value);
            auto it = table2.find(key);
            if (it != table2.end()) { current = it->second; continue; }
            bits.put(current, codeSize);
            table2.emplace(key, ++maxCode);
            if (maxCode >= (1 << codeSize)) ++codeSize;
            if (maxCode == 4095) {
                bits.put(clearCode, codeSize);
                table2.clear();
                codeSize = minCodeSize + 1;
                maxCode = endCode;
            }
            current = value;
        }
    }
    if (current >= 0) bits.put(current, codeSize);
    bits.put(endCode, codeSize);
    bits.finish();
    out.append(char(0x3b));
    return out;
}

QByteArray storedBytes(const Picture& pic)
{
    if (pic.format == QLatin1String("gif")) return encodeGif(toIndexed(pic.image));
    if (pic.format == QLatin1String("png")) return encodePng(pic.image);
    if (pic.depth == 8) return encodeBmp(toIndexed(pic.image));
    return encodeBmp(pic.image);
}

} // namespace gen
