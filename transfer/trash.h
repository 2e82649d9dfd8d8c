#pragma once
// Removing a package the user deleted on the PC side: it goes to the desktop's trash, so a
// slip of the mouse can be undone; only where no trash can take it is it deleted outright.

#include <QString>

namespace orv {

// Throws AppError (source "Orvantis") when the file can be neither trashed nor deleted.
void discardFile(const QString& path);

} // namespace orv
