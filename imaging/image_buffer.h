#pragma once
// An image buffer: one picture and a working rectangle that copies, drawing and adjustments
// act on. Member names follow the imaging component the editor was designed around, so the
// composers read like their recipes.
//
// Pictures are 24 bits per pixel (held as QImage::Format_RGB32) or 8 bits per pixel
// (QImage::Format_Indexed8, as built-in 8-bit bitmaps arrive). Drawing and copying into an
// 8-bit picture first raises it to 24 bits.

#include "theme/colour.h"

#include <QFont>
#include <QImage>
#include <QString>

namespace orv {

struct FontSpec {
    QString Name = "Tahoma";
    int Size = 8; // points; drawn at 96 dots per inch like the handheld's desktop twin
    bool Bold = false;
};

class ImageBuffer {
public:
    ImageBuffer() = default;

    // --- picture -----------------------------------------------------------------------
    // New picture of the given size filled with one colour (bits: 24 or 8).
    void Create(int bits, int width, int height, Colour fill);
    // Takes a picture (a built-in bitmap, a decoded file) with its size and depth.
    void setPicture(const QImage& picture);
    const QImage& image() const { return image_; }
    bool isEmpty() const { return image_.isNull(); }

    int BitsPerPixel() const;
    // Raises the picture to 24 bits when asked for 24 and it has fewer; 8 reduces plainly.
    void ConvertBitsPerPixel(int bits);

    int ImageWidth() const { return image_.width(); }
    int ImageHeight() const { return image_.height(); }

    // Empties the buffer; the next part pasted in gives it its size.
    void Clear(int how = 2);

    // --- working rectangle ---------------------------------------------------------------
    int RectLeft = 0, RectTop = 0, RectWidth = 0, RectHeight = 0;
    void setRect(int left, int top, int width, int height)
    {
        RectLeft = left; RectTop = top; RectWidth = width; RectHeight = height;
    }

    // --- copying -------------------------------------------------------------------------
    // 0 around keyed copies and saving (no resampling: a part of another size is placed at
    // the rectangle's top-left at its own size), 2 smooth, 3 while fitting (smooth).
    int ResampleMode = 2;
    Colour KeyColour = kBlack;
    bool UseKeyColour = false;
    int KeyStyle = 0;

    // Part = the source's rectangle (useSourceRect) or its whole picture, clipped to the
    // source picture. useOwnRect: the part lands in this buffer's rectangle, resampled when
    // the sizes differ and ResampleMode is not 0. Otherwise: pasted at 0,0 (useSourceRect
    // off) or made this buffer's picture, size included (useSourceRect on). Mode 2 skips
    // source pixels equal to KeyColour while UseKeyColour is on; modes 0 and 3 copy all.
    void CopyFrom(bool useOwnRect, const ImageBuffer& source, bool useSourceRect, int mode);

    // Places source at (MaskOffsetX, MaskOffsetY) wherever mask (same size as source) is white.
    int MaskOffsetX = 0, MaskOffsetY = 0;
    void CopyMasked(const ImageBuffer& source, const ImageBuffer& mask);

    // Inside the rectangle: pixels whose channels all lie between first and last
    // (outside = 0), or not (outside = 1), take newColour.
    void ReplaceColour(Colour first, Colour last, int outside, Colour newColour);

    // --- drawing -------------------------------------------------------------------------
    Colour ForeColor = kBlack;
    QString Text;
    FontSpec Font;
    bool TextTransparent = true;

    // Outline of the rectangle in ForeColor, clipped to the picture.
    void DrawRect(int style = 0);
    // Text with its top-left at the rectangle's top-left, clipped to the rectangle.
    void DrawText(int style = 0);
    void SetPixel(int x, int y, Colour c);
    Colour pixel(int x, int y) const;

    void CommitDrawing() {}
    // Finishes a composed Start menu.
    void FinishMenu();

    // --- adjustments (inside the rectangle) ------------------------------------------------
    // brightness and contrast 0..1, neutral 0.5; gamma 1..10, neutral 5.0
    void AdjustBrightnessContrast(float brightness, float contrast);
    void AdjustGamma(double gamma);
    // Reduces the picture to an 8-bit palette of at most `colours` entries.
    void ReduceColours(int colours, bool optionA, bool dither, bool optionB);

    // --- files -----------------------------------------------------------------------------
    QString FileName;
    int FileFormat = 0;  // 0 load by content, 7 JPEG, 9 PNG
    int SaveQuality = 0; // JPEG quality
    bool LoadFitFlag = false;
    int FitStyle = 0;
    // Reads FileName (bmp, png, jpg, gif, pcx, tga); throws AppError 20101 when unreadable.
    void LoadFile();
    // Writes FileName whole or not at all in FileFormat; throws AppError on failure.
    void SaveFile();

private:
    void ensure24();
    QImage part(const ImageBuffer& source, bool useSourceRect) const;
    void coverWhole() { setRect(0, 0, image_.width(), image_.height()); }

    QImage image_;
};

// A QImage in the 24-bit form the buffers keep.
QImage to24(const QImage& picture);

// The font DrawText sets its text in, for measuring where the text lands.
QFont drawingFont(const FontSpec& font);

} // namespace orv
