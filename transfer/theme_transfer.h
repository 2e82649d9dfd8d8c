#pragma once
// The main window's " Theme Transfer" entry: the device link check, then the transfer window,
// modal over the main window.

#include "app/editor_session.h"

#include <functional>

class QWidget;

namespace orv {

// Unless the program was started with exactly "qzv", a missing device link library (looked for
// where the control will load it from) shows
// "ActiveSync not installed or corrupted!" and nothing opens. Otherwise highlightEntry runs
// (the menu shows the entry chosen) and the window opens, modal over mainWindow. Returns
// false when the window did not open.
bool ThemeTransfer(EditorSession& session, QWidget* mainWindow,
                   const std::function<void()>& highlightEntry = {});

} // namespace orv
