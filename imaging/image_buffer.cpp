#include "imaging/image_buffer.h"

#include <QFont>
#include <QFontMetrics>
#include <QHash>
#include <QPainter>
#include <algorithm>
#include <memory>
#include <mutex>
#include <vector>

namespace orv {

namespace {

constexpr QRgb kRgbMask = 0x00FFFFFF;

inline bool sameRgb(QRgb a, QRgb b) { return ((a ^ b) & kRgbMask) == 0; }

// The part of r that lies inside a w x h picture.
QRect clipTo(const QRect& r, int w, int h) { return r.intersected(QRect(0, 0, w, h)); }

inline QRgb* rowOf(uchar* bits, qsizetype bpl, int y)
{
    return reinterpret_cast<QRgb*>(bits + bpl * y);
}

// Reads `count` pixels of row y from column x of a 24- or 8-bit picture as 24-bit values.
// 24-bit rows are returned in place; 8-bit rows are looked up into `scratch`.
const QRgb* readRow(const QImage& src, int x, int y, int count, std::vector<QRgb>& scratch)
{
    if (src.format() == QImage::Format_RGB32)
        return reinterpret_cast<const QRgb*>(src.constScanLine(y)) + x;
    scratch.resize(static_cast<size_t>(count));
    if (src.format() == QImage::Format_Indexed8) {
        const uchar* s = src.constScanLine(y) + x;
        const QList<QRgb> table = src.colorTable();
        for (int i = 0; i < count; ++i)
            scratch[static_cast<size_t>(i)] = s[i] < table.size() ? table[s[i]] : 0xFF000000u;
    } else {
        for (int i = 0; i < count; ++i) scratch[static_cast<size_t>(i)] = src.pixel(x + i, y);
    }
    return scratch.data();
}

// --- text --------------------------------------------------------------------------------
// Text is drawn without smoothing, so a string in a given font always sets the same pixels.
// Its pixels are worked out once, as runs per row relative to the text's top-left, and
// afterwards only filled in: a redraw then costs no painter and no glyph lookups.
struct TextRuns {
    struct Run {
        int y, x0, x1; // row, first column, one past the last
    };
    std::vector<Run> runs;
};

QFont handheldFont(const FontSpec& fontSpec)
{
    QFont font(fontSpec.Name);
    font.setPixelSize(qRound(fontSpec.Size * 96.0 / 72.0));
    font.setBold(fontSpec.Bold);
    // The handheld draws its fonts' own bitmaps, never smoothed.
    font.setStyleStrategy(QFont::NoAntialias);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

std::shared_ptr<const TextRuns> textRuns(const FontSpec& fontSpec, const QString& text)
{
    static std::mutex lock;
    static QHash<QString, std::shared_ptr<const TextRuns>> cache;
    const QString key = fontSpec.Name + QChar(1) + QString::number(fontSpec.Size) + QChar(1) +
                        QChar(fontSpec.Bold ? 'b' : 'n') + QChar(1) + text;
    {
        std::lock_guard<std::mutex> guard(lock);
        auto it = cache.constFind(key);
        if (it != cache.constEnd()) return *it;
    }

    const QFont font = handheldFont(fontSpec);
    const QFontMetrics fm(font);
    // Room for overhangs on the right and below; anything left of or above the text's
    // top-left is clipped away when drawing, so it needs no room.
    const int w = fm.horizontalAdvance(text) + 2 * fm.height() + 4;
    const int h = 2 * fm.height() + 4;
    QImage canvas(w, h, QImage::Format_RGB32);
    canvas.fill(Qt::black);
    {
        QPainter p(&canvas);
        p.setRenderHint(QPainter::TextAntialiasing, false);
        p.setFont(font);
        p.setPen(Qt::white);
        p.drawText(QRect(0, 0, w, h), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
    }
    auto runs = std::make_shared<TextRuns>();
    for (int y = 0; y < h; ++y) {
        const QRgb* s = reinterpret_cast<const QRgb*>(canvas.constScanLine(y));
        int x = 0;
        while (x < w) {
            if ((s[x] & kRgbMask) == 0) { ++x; continue; }
            const int start = x;
            while (x < w && (s[x] & kRgbMask) != 0) ++x;
            runs->runs.push_back({y, start, x});
        }
    }

    std::lock_guard<std::mutex> guard(lock);
    if (cache.size() > 1024) cache.clear(); // the preview uses a few dozen strings
    cache.insert(key, runs);
    return runs;
}

} // namespace

QFont drawingFont(const FontSpec& font) { return handheldFont(font); }

QImage to24(const QImage& picture)
{
    if (picture.format() == QImage::Format_RGB32) return picture;
    return picture.convertToFormat(QImage::Format_RGB32);
}

void ImageBuffer::Create(int bits, int width, int height, Colour fill)
{
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (bits <= 8) {
        image_ = QImage(width, height, QImage::Format_Indexed8);
        image_.setColorTable({toQRgb(fill) | 0xFF000000u});
        image_.fill(0);
    } else {
        // A redraw re-creates its picture at the same size each time: refill it in place.
        if (image_.format() != QImage::Format_RGB32 || image_.width() != width ||
            image_.height() != height || !image_.isDetached())
            image_ = QImage(width, height, QImage::Format_RGB32);
        image_.fill(toQRgb(fill));
    }
    coverWhole();
}

void ImageBuffer::setPicture(const QImage& picture)
{
    if (picture.format() == QImage::Format_Indexed8 || picture.format() == QImage::Format_RGB32)
        image_ = picture;
    else if (picture.depth() <= 8)
        image_ = picture.convertToFormat(QImage::Format_Indexed8);
    else
        image_ = picture.convertToFormat(QImage::Format_RGB32);
    coverWhole();
}

int ImageBuffer::BitsPerPixel() const
{
    if (image_.isNull()) return 24;
    return image_.format() == QImage::Format_Indexed8 ? 8 : 24;
}

void ImageBuffer::ConvertBitsPerPixel(int bits)
{
    if (image_.isNull()) return;
    if (bits >= 24) {
        ensure24();
    } else if (bits <= 8 && image_.format() != QImage::Format_Indexed8) {
        image_ = image_.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
    }
}

void ImageBuffer::ensure24()
{
    if (!image_.isNull() && image_.format() != QImage::Format_RGB32) image_ = to24(image_);
}

void ImageBuffer::Clear(int)
{
    image_ = QImage();
    coverWhole();
}

QImage ImageBuffer::part(const ImageBuffer& source, bool useSourceRect) const
{
    const QImage& src = source.image_;
    if (src.isNull()) return {};
    if (!useSourceRect) return to24(src);
    // A rectangle reaching past the picture reads only what lies inside it.
    const QRect r = clipTo(QRect(source.RectLeft, source.RectTop, source.RectWidth,
                                 source.RectHeight), src.width(), src.height());
    if (r.isEmpty()) return {};
    if (r == src.rect()) return to24(src);
    return to24(src.copy(r));
}

void ImageBuffer::CopyFrom(bool useOwnRect, const ImageBuffer& source, bool useSourceRect,
                           int mode)
{
    // A handle of our own: copying a buffer into itself then reads the picture as it was.
    const QImage src = source.image_;
    if (src.isNull()) return;
    // A rectangle reaching past the picture reads only what lies inside it (the Start menu
    // overlay asks for 293 rows of a 287-row drawing).
    QRect from = src.rect();
    if (useSourceRect)
        from = clipTo(QRect(source.RectLeft, source.RectTop, source.RectWidth, source.RectHeight),
                      src.width(), src.height());
    if (from.isEmpty()) return;

    if (!useOwnRect && (useSourceRect || image_.isNull())) {
        // The part becomes this buffer's picture, size included. Whole pictures are shared
        // until one side writes.
        image_ = from == src.rect() ? to24(src) : to24(src.copy(from));
        coverWhole();
        return;
    }
    ensure24();
    if (image_.isNull()) return;

    const bool keyed = mode == 2 && UseKeyColour;
    const QRgb key = toQRgb(KeyColour);
    QPoint at(0, 0);
    QImage scaled;
    const QImage* piece = &src;
    QSize fill = from.size(); // the area the part covers
    if (useOwnRect) {
        at = QPoint(RectLeft, RectTop);
        const QSize want(RectWidth, RectHeight);
        if (want.isValid() && !want.isEmpty() && from.size() != want) {
            if (ResampleMode != 0) {
                // Keyed copies keep pure key pixels: scale them without blending.
                // A whole picture is scaled where it is: a copy of a large photo first would
                // cost as much as the scaling.
                const QImage part = from == src.rect() ? src : src.copy(from);
                scaled = to24(to24(part).scaled(
                    want, Qt::IgnoreAspectRatio,
                    keyed ? Qt::FastTransformation : Qt::SmoothTransformation));
                piece = &scaled;
                from = scaled.rect();
                fill = want;
            } else if (KeyStyle == 11) {
                // A band stretched to its slot: its last row and column repeat to fill the
                // rectangle (the navigation tray's 23 rows make the 24 rows under the title).
                fill = want;
            }
            // Otherwise the part keeps its own size at the rectangle's top-left: the 16-pixel
            // icon column stays sharp and whole, the Start menu keeps its 287 rows.
        }
    }

    const QRect dest = clipTo(QRect(at, fill), image_.width(), image_.height());
    if (dest.isEmpty()) return;
    uchar* bits = image_.bits();
    const qsizetype bpl = image_.bytesPerLine();
    std::vector<QRgb> scratch;
    std::vector<QRgb> stretched;
    for (int y = dest.top(); y <= dest.bottom(); ++y) {
        const int sy = from.top() + std::min(y - at.y(), from.height() - 1);
        const int sx = from.left() + (dest.left() - at.x());
        const int inside = std::max(0, std::min(dest.width(), from.right() + 1 - sx));
        const QRgb* s = readRow(*piece, std::min(sx, from.right()), sy, std::max(inside, 1),
                                scratch);
        if (inside < dest.width()) {
            // Columns past the part repeat its last column.
            stretched.assign(static_cast<size_t>(dest.width()), 0);
            const QRgb edge = inside > 0 ? s[inside - 1] : s[0];
            std::copy(s, s + inside, stretched.begin());
            std::fill(stretched.begin() + inside, stretched.end(), edge);
            s = stretched.data();
        }
        QRgb* d = rowOf(bits, bpl, y) + dest.left();
        if (!keyed) {
            std::copy(s, s + dest.width(), d);
        } else {
            for (int x = 0; x < dest.width(); ++x)
                if (!sameRgb(s[x], key)) d[x] = s[x];
        }
    }
}

void ImageBuffer::CopyMasked(const ImageBuffer& source, const ImageBuffer& mask)
{
    if (source.image_.isNull() || mask.image_.isNull()) return;
    const QImage src = to24(source.image_);
    const QImage msk = to24(mask.image_);
    ensure24();
    if (image_.isNull()) return;
    const QPoint at(MaskOffsetX, MaskOffsetY);
    const int w = std::min(src.width(), msk.width());
    const int h = std::min(src.height(), msk.height());
    const QRect dest = clipTo(QRect(at, QSize(w, h)), image_.width(), image_.height());
    if (dest.isEmpty()) return;
    uchar* bits = image_.bits();
    const qsizetype bpl = image_.bytesPerLine();
    for (int y = dest.top(); y <= dest.bottom(); ++y) {
        const QRgb* s = reinterpret_cast<const QRgb*>(src.constScanLine(y - at.y())) - at.x();
        const QRgb* m = reinterpret_cast<const QRgb*>(msk.constScanLine(y - at.y())) - at.x();
        QRgb* d = rowOf(bits, bpl, y);
        for (int x = dest.left(); x <= dest.right(); ++x)
            if (sameRgb(m[x], 0xFFFFFF)) d[x] = s[x];
    }
}

void ImageBuffer::ReplaceColour(Colour first, Colour last, int outside, Colour newColour)
{
    if (image_.isNull()) return;
    ensure24();
    const QRect r = clipTo(QRect(RectLeft, RectTop, RectWidth, RectHeight), image_.width(),
                           image_.height());
    if (r.isEmpty()) return;
    const QRgb a = toQRgb(first), b = toQRgb(last);
    const int lo[3] = {std::min(qRed(a), qRed(b)), std::min(qGreen(a), qGreen(b)),
                       std::min(qBlue(a), qBlue(b))};
    const int hi[3] = {std::max(qRed(a), qRed(b)), std::max(qGreen(a), qGreen(b)),
                       std::max(qBlue(a), qBlue(b))};
    const QRgb to = toQRgb(newColour);
    const bool wantInside = outside == 0;
    const bool single = sameRgb(a, b);
    uchar* bits = image_.bits();
    const qsizetype bpl = image_.bytesPerLine();
    for (int y = r.top(); y <= r.bottom(); ++y) {
        QRgb* d = rowOf(bits, bpl, y);
        for (int x = r.left(); x <= r.right(); ++x) {
            const QRgb p = d[x];
            const bool inside =
                single ? sameRgb(p, a)
                       : qRed(p) >= lo[0] && qRed(p) <= hi[0] && qGreen(p) >= lo[1] &&
                             qGreen(p) <= hi[1] && qBlue(p) >= lo[2] && qBlue(p) <= hi[2];
            if (inside == wantInside) d[x] = to;
        }
    }
}

void ImageBuffer::DrawRect(int)
{
    if (image_.isNull() || RectWidth <= 0 || RectHeight <= 0) return;
    ensure24();
    const QRgb c = toQRgb(ForeColor);
    const QRect outline(RectLeft, RectTop, RectWidth, RectHeight);
    const QRect r = clipTo(outline, image_.width(), image_.height());
    if (r.isEmpty()) return;
    uchar* bits = image_.bits();
    const qsizetype bpl = image_.bytesPerLine();
    for (int y = r.top(); y <= r.bottom(); ++y) {
        QRgb* d = rowOf(bits, bpl, y);
        if (y == outline.top() || y == outline.bottom()) {
            std::fill(d + r.left(), d + r.right() + 1, c);
        } else {
            if (outline.left() >= r.left()) d[outline.left()] = c;
            if (outline.right() <= r.right()) d[outline.right()] = c;
        }
    }
}

void ImageBuffer::DrawText(int)
{
    if (image_.isNull() || Text.isEmpty()) return;
    ensure24();
    const QRect box(RectLeft, RectTop, std::max(RectWidth, 0), std::max(RectHeight, 0));
    if (!TextTransparent) {
        QPainter p(&image_);
        p.setFont(handheldFont(Font));
        p.fillRect(p.boundingRect(box, Qt::AlignLeft | Qt::AlignTop, Text), Qt::white);
    }
    const QRect clip = clipTo(box, image_.width(), image_.height());
    if (clip.isEmpty()) return;
    const std::shared_ptr<const TextRuns> runs = textRuns(Font, Text);
    const QRgb c = toQRgb(ForeColor);
    uchar* bits = image_.bits();
    const qsizetype bpl = image_.bytesPerLine();
    for (const TextRuns::Run& run : runs->runs) {
        const int y = box.top() + run.y;
        if (y < clip.top() || y > clip.bottom()) continue;
        const int x0 = std::max(box.left() + run.x0, clip.left());
        const int x1 = std::min(box.left() + run.x1, clip.right() + 1);
        if (x0 >= x1) continue;
        QRgb* d = rowOf(bits, bpl, y);
        std::fill(d + x0, d + x1, c);
    }
}

void ImageBuffer::SetPixel(int x, int y, Colour c)
{
    if (image_.isNull() || !image_.rect().contains(x, y)) return;
    ensure24();
    reinterpret_cast<QRgb*>(image_.scanLine(y))[x] = toQRgb(c);
}

Colour ImageBuffer::pixel(int x, int y) const
{
    if (image_.isNull() || !image_.rect().contains(x, y)) return kBlack;
    return fromQRgb(image_.pixel(x, y));
}

void ImageBuffer::FinishMenu()
{
    // The MENU drawing carries its own border and the background already shows through its
    // white, so a composed Start menu needs nothing more.
}

} // namespace orv
