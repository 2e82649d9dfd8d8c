#pragma once
// The image buffers of the main window: built-in screen pictures, the two theme backgrounds,
// scratch work and the visible preview.

#include "imaging/image_buffer.h"

namespace orv {

struct Canvas {
    ImageBuffer oPicBuf;           // the visible preview, 240 x 320
    ImageBuffer oPicBufCompose;    // the screen being composed
    ImageBuffer oPicBufWork;       // scratch
    ImageBuffer oPicBufToday;      // Today background, 240 x 293
    ImageBuffer oPicBufMenu;       // Start menu background, 150 x 293
    ImageBuffer oPicBufMenuOvl;    // MENU drawing
    ImageBuffer oPicBufTitleBar;   // TITLEBAR-SOLID
    ImageBuffer oPicBufCommandBar; // COMMANDBAR, recoloured in place
    ImageBuffer oPicBufNavigation; // NAVIGATION
    ImageBuffer oPicBufGradient;   // title bar gradient
    ImageBuffer oPicBufIcons;      // Today icon column
    ImageBuffer oPicBufMessage;    // message pop-up
    ImageBuffer oPicBufMessageImp; // important-message pop-up
    ImageBuffer oPicBufMask;       // pop-up shape mask
    QImage underText;              // the last Today screen before its text was drawn
};

// A built-in bitmap by name ("BLANK", "MENU", "SKIN-WOOD"...); throws AppError when missing.
QImage builtinPicture(const QString& name);

} // namespace orv
