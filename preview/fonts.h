#pragma once
// The handheld's font for the preview: Wine's Tahoma, or DejaVu Sans where it is missing.

namespace orv {

// Registers the Tahoma faces with the application's font database. Call once after the
// QGuiApplication exists (the editor, the command-line tool, the tests); later calls do
// nothing.
void registerHandheldFonts();

// True when both Tahoma files are there to register: the screens then need no other font.
bool handheldFontFilesPresent();

} // namespace orv
