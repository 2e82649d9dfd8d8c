// The five screens of the preview. Each builds the whole screen afresh in the composition
// buffer and copies it into the visible buffer as its last step, so a failed redraw leaves
// the previous screen in place. The adjustments act on copies only: the stored backgrounds
// are never changed here, and an adjusted copy is kept until its picture or values change.
#include "app/editor_session.h"
#include "imaging/image_buffer_adjust.h"
#include "preview/gradient.h"
#include "preview/picture_cache.h"
#include "preview/text_layout.h"

namespace orv {

namespace {

void raiseTo24(ImageBuffer& b)
{
    if (b.BitsPerPixel() < 24) b.ConvertBitsPerPixel(24);
}

// Draws a caption of the title bar in the title text colour.
void drawTitleText(ImageBuffer& c, const PlacedText& text, Colour colour)
{
    c.Font.Name = "Tahoma";
    c.Font.Size = kTodayTextPointSize;
    c.Font.Bold = text.bold;
    c.Text = text.text;
    c.ForeColor = colour;
    c.TextTransparent = true;
    c.RectTop = text.top;
    c.RectLeft = text.left;
    c.RectWidth = c.ImageWidth();
    c.RectHeight = c.ImageHeight();
    c.DrawText(0);
}

// The adjusted backgrounds, kept between redraws; composing runs on one thread only.
AdjustedCopy& adjustedToday()
{
    static AdjustedCopy copy;
    return copy;
}

AdjustedCopy& adjustedMenu()
{
    static AdjustedCopy copy;
    return copy;
}

} // namespace

// The preview exists from the canvas set-up on; before it there is nothing to draw into.
static bool canvasReady(const EditorSession& s) { return !s.canvas.oPicBuf.isEmpty(); }

// The Today screen every composer starts from: background, title bar, sample text, icons,
// caption, clock and command bar.
static void composeToday(EditorSession& s)
{
    Canvas& cv = s.canvas;
    ImageBuffer& c = cv.oPicBufCompose;

    c.ResampleMode = 2;
    c.Clear(2);
    c.Create(24, 240, 340, kWhite);

    // The Today background as it would land in the fresh white composition, adjusted there;
    // the same copy, made once, lands in the same place at every redraw.
    c.setRect(0, 27, 240, 293);
    cv.oPicBufToday.setRect(0, 0, 240, 293);
    const AdjustmentSet& set = s.adjustToday;
    const ImageBuffer& today = adjustedToday().of(cv.oPicBufToday, set, [&](ImageBuffer& a) {
        const QImage& picture = cv.oPicBufToday.image();
        if (picture.width() >= 240 && picture.height() >= 293) {
            // The picture covers the whole white area: its part is taken as it is.
            a.CopyFrom(false, cv.oPicBufToday, true, 0);
        } else {
            a.ResampleMode = 2;
            a.Create(24, 240, 293, kWhite);
            a.setRect(0, 0, 240, 293);
            a.CopyFrom(true, cv.oPicBufToday, true, 0);
        }
        adjustInOnePass(a, set.gamma, set.brightness, set.contrast);
    });
    c.CopyFrom(true, today, false, 0);

    DoGradient(s.theme.element(0), s.theme.element(1), cv.oPicBufGradient, 240, 27);
    c.CopyFrom(false, cv.oPicBufGradient, false, 0);

    // Title bar icons; the gradient shows wherever the picture is green.
    c.ResampleMode = 0;
    c.KeyColour = kPureGreen;
    c.UseKeyColour = true;
    c.KeyStyle = 0;
    c.setRect(0, 0, 240, 26);
    raiseTo24(cv.oPicBufTitleBar);
    cv.oPicBufTitleBar.setRect(0, 1, 240, 26);
    c.CopyFrom(true, cv.oPicBufTitleBar, true, 2);

    // What lies under the text, kept for the legibility check (the picture is shared until
    // the text is drawn).
    cv.underText = c.image();
    s.DoText();
    s.DoLines();

    // The icon column, its white left out; it covers the lines where its icons are drawn.
    c.KeyColour = kWhite;
    c.UseKeyColour = true;
    c.KeyStyle = 1;
    c.setRect(0, 30, 30, 142);
    raiseTo24(cv.oPicBufIcons);
    c.CopyFrom(true, cv.oPicBufIcons, false, 2);

    c.ResampleMode = 2;
    c.UseKeyColour = false;

    const Colour titleText = s.theme.element(2);
    for (const PlacedText& caption : titleTextLayout(s.clock().time()))
        drawTitleText(c, caption, titleText);

    c.setRect(0, 295, 240, 25);
    raiseTo24(cv.oPicBufCommandBar);
    cv.oPicBufCommandBar.setRect(0, 0, 240, 25);
    c.CopyFrom(true, cv.oPicBufCommandBar, true, 0);
}

// Shows the finished composition: its top 320 rows become the preview.
static void showComposition(EditorSession& s)
{
    s.canvas.oPicBufCompose.CommitDrawing();
    s.canvas.oPicBuf.CopyFrom(false, s.canvas.oPicBufCompose, false, 0);
}

// A message pop-up over the Today screen: its picture drawn over the title band gradient
// (which shows through the band's key colour) and placed through its outline mask.
static void composePopup(EditorSession& s, ImageBuffer& popup, Colour left, Colour right,
                         int width, int height, const QString& picture, Colour key,
                         const QString& mask, int x, int y)
{
    Canvas& cv = s.canvas;
    DoGradient(left, right, popup, width, height);

    ImageBuffer& work = cv.oPicBufWork;
    work.setPicture(cachedPicture24(picture));

    popup.KeyColour = key;
    popup.UseKeyColour = true;
    popup.setRect(0, 0, width, height);
    popup.ResampleMode = 0;
    popup.KeyStyle = 0;
    popup.CopyFrom(true, work, false, 2);
    popup.CommitDrawing();
    popup.ResampleMode = 2;

    cv.oPicBufMask.setPicture(cachedPicture24(mask));

    ImageBuffer& c = cv.oPicBufCompose;
    c.MaskOffsetX = x;
    c.MaskOffsetY = y;
    c.CopyMasked(popup, cv.oPicBufMask);
    c.MaskOffsetX = 0;
    c.MaskOffsetY = 0;
}

void EditorSession::DoScreenMain()
{
    if (!canvasReady(*this)) return;
    if (trap("DoScreenMain", [&] {
            composeToday(*this);
            showComposition(*this);
        }))
        emit previewChanged();
}

void EditorSession::DoScreenMessage()
{
    if (!canvasReady(*this)) return;
    if (trap("DoScreenMessage", [&] {
            composeToday(*this);
            composePopup(*this, canvas.oPicBufMessage, theme.element(7), theme.element(8), 75,
                         184, "MESSAGE", kPureBlue, "MASK-MESSAGE", 112, 27);
            showComposition(*this);
        }))
        emit previewChanged();
}

void EditorSession::DoScreenMessageImp()
{
    if (!canvasReady(*this)) return;
    if (trap("DoScreenMessageImp", [&] {
            composeToday(*this);
            composePopup(*this, canvas.oPicBufMessageImp, theme.element(9), theme.element(10), 222,
                         121, "MESSAGE-IMP", kPureRed, "MASK-MESSAGE-IMP", 8, 27);
            showComposition(*this);
        }))
        emit previewChanged();
}

void EditorSession::DoScreenNavigation()
{
    if (!canvasReady(*this)) return;
    if (trap("DoScreenNavigation", [&] {
            composeToday(*this);
            ImageBuffer& c = canvas.oPicBufCompose;
            ImageBuffer& work = canvas.oPicBufWork;
            ImageBuffer& nav = canvas.oPicBufNavigation;

            raiseTo24(work);
            work.ResampleMode = 0;
            nav.setRect(0, 0, 240, 49);
            work.CopyFrom(false, nav, true, 0);
            // The tray and the notification square take the tray colour; the icons stay white.
            work.ReplaceColour(kPureRed, kPureRed, 0, theme.element(6));

            // The tray band under the title bar, stretched over its 24 rows.
            work.setRect(0, 26, 240, 23);
            c.setRect(0, 25, 240, 24);
            c.ResampleMode = 0;
            c.KeyStyle = 11;
            c.CopyFrom(true, work, true, 2);

            // The notification icon over the title bar.
            work.setRect(142, 0, 18, 26);
            c.setRect(142, 0, 18, 26);
            c.KeyStyle = 12;
            c.CopyFrom(true, work, true, 2);
            showComposition(*this);
        }))
        emit previewChanged();
}

void EditorSession::DoScreenMenu()
{
    if (!canvasReady(*this)) return;
    if (trap("DoScreenMenu", [&] {
            composeToday(*this);
            ImageBuffer& c = canvas.oPicBufCompose;
            ImageBuffer& work = canvas.oPicBufWork;
            ImageBuffer& ovl = canvas.oPicBufMenuOvl;

            // A copy of the Start menu background, adjusted with the Start menu's values.
            canvas.oPicBufMenu.setRect(0, 0, 150, 293);
            const AdjustmentSet& set = adjustMenu;
            const ImageBuffer& menu = adjustedMenu().of(canvas.oPicBufMenu, set, [&](ImageBuffer& a) {
                a.Clear(2);
                a.CopyFrom(false, canvas.oPicBufMenu, true, 0);
                adjustInOnePass(a, set.gamma, set.brightness, set.contrast);
            });
            work.Clear(2);
            work.CopyFrom(false, menu, false, 0);

            // The menu drawing over it; the background shows wherever the drawing is white.
            work.ResampleMode = 0;
            work.KeyStyle = 1;
            work.KeyColour = kWhite;
            work.UseKeyColour = true;
            ovl.setRect(0, 0, 150, 293);
            work.setRect(0, 0, 150, 293);
            raiseTo24(ovl);
            work.CopyFrom(true, ovl, true, 2);
            work.CommitDrawing();
            work.FinishMenu();

            // The menu hangs from the title bar: its 287 rows from row 24 down.
            c.setRect(0, 24, 150, 293);
            work.setRect(0, 0, 150, 287);
            c.ResampleMode = 0;
            c.CopyFrom(true, work, true, 3);
            showComposition(*this);
        }))
        emit previewChanged();
}

void EditorSession::redrawCurrentScreen()
{
    if (theme.menuEditing) DoScreenMenu();
    else if (theme.messageScreen) DoScreenMessage();
    else if (theme.importantScreen) DoScreenMessageImp();
    else if (theme.navigationScreen) DoScreenNavigation();
    else DoScreenMain();
}

} // namespace orv
