// The canvas: the image buffers made once at start, the Today icon column and the command
// bar recolouring.
#include "app/editor_session.h"
#include "preview/picture_cache.h"

namespace orv {

void EditorSession::setupCanvas()
{
    Canvas& c = canvas;
    c.oPicBuf.Create(24, 240, 320, kWhite);
    c.oPicBufCompose.Create(24, 240, 320, kWhite);
    c.oPicBufWork.Create(24, 240, 320, kWhite);
    c.oPicBufToday.Create(24, 240, 293, kWhite);
    c.oPicBufMenu.Create(24, 150, 293, kWhite);
    c.oPicBufMenuOvl.Create(24, 150, 293, kWhite);
    c.oPicBufNavigation.Create(24, 240, 49, kWhite);
    c.oPicBufCommandBar.Create(24, 240, 49, kWhite);
    c.oPicBufTitleBar.Create(24, 240, 49, kWhite);
    c.oPicBufMask.Create(24, 200, 200, kWhite);

    c.oPicBufTitleBar.setPicture(cachedPicture("TITLEBAR-SOLID"));
    c.oPicBufCommandBar.setPicture(cachedPicture("COMMANDBAR"));
    c.oPicBufMenuOvl.setPicture(cachedPicture("MENU"));
    c.oPicBufNavigation.setPicture(cachedPicture("NAVIGATION"));
    c.oPicBuf.ResampleMode = 2;

    // Both backgrounds of a new theme start as the blank picture.
    ImageBuffer& work = c.oPicBufWork;
    work.setPicture(cachedPicture("BLANK"));
    if (work.BitsPerPixel() < 24) work.ConvertBitsPerPixel(24);
    work.setRect(0, 0, 240, 293);
    c.oPicBufToday.setRect(0, 0, 240, 293);
    c.oPicBufToday.CopyFrom(true, work, true, 0);
    work.setRect(0, 0, 150, 293);
    c.oPicBufMenu.setRect(0, 0, 150, 293);
    c.oPicBufMenu.CopyFrom(true, work, true, 0);
}

void EditorSession::LoadIconImages()
{
    const QString& choice = state.TodayText;
    const char* name = nullptr;
    if (choice == "all") name = "ICONS";
    else if (choice == "notm") name = "ICONS3";
    else if (choice == "notmm") name = "ICONS2";
    else if (choice == "none") name = "ICONS-NONE";
    if (name) canvas.oPicBufIcons.setPicture(cachedPicture(QString::fromLatin1(name)));
}

void EditorSession::RecolourCommandBar()
{
    ImageBuffer& bar = canvas.oPicBufCommandBar;
    // Everything but the black lines and caption takes the command bar colour. The bar is
    // recoloured in place, so a black bar stays black until the program starts again.
    bar.setRect(0, 0, bar.ImageWidth(), bar.ImageHeight());
    bar.ReplaceColour(kBlack, kBlack, 1, theme.element(5));
}

} // namespace orv
