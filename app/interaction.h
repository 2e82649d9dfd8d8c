#pragma once
// The one boundary through which the core asks the user anything. The GUI answers with
// Qt dialogs, the tests with a scripted fake, the command-line tool without asking.

#include "imaging/placement.h"
#include "theme/colour.h"

#include <QString>
#include <future>
#include <optional>

namespace orv {

class PlacementSource;

enum class MsgIcon { None, Critical, Exclamation, Information, Question };
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel, YesYesToAllNoCancel };
enum class MsgResult { Ok, Cancel, Yes, No, YesToAll };

// Answer of the fit choice dialog: closing it without OK leaves Crop. Place asks next where
// the picture goes (choosePlacement).
enum class FitChoice { Crop, Resize, Place };

struct FileDialogRequest {
    QString title;
    QString filter;      // "Description|*.ext" pairs joined by '|', as the dialogs list them
    QString initialName; // remembered folder + wildcard or proposed file name
    QString defaultExt;  // without dot; empty when none
};

// No method has a default answer: a wrapper that passes questions on must name each one,
// so a question added later cannot be answered silently by a wrapper that never heard of it.
class UserInteraction {
public:
    virtual ~UserInteraction() = default;

    // A chosen path, or nullopt when the user cancelled.
    virtual std::optional<QString> openFile(const FileDialogRequest& request) = 0;
    virtual std::optional<QString> saveFile(const FileDialogRequest& request) = 0;
    // An RGB colour, or nullopt when the user cancelled; title names what is coloured.
    virtual std::optional<Colour> chooseColour(Colour start, const QString& title) = 0;
    virtual FitChoice chooseFit() = 0;
    // Where a frame of the target's proportions goes over the loaded picture, or nullopt when
    // the user cancelled (the picture is then cropped, as after closing the fit dialog).
    // The picture may still be being read: the dialog shows a reduced copy meanwhile.
    virtual std::optional<Placement> choosePlacement(PlacementSource& picture, QSize target) = 0;
    virtual MsgResult messageBox(const QString& text, const QString& title, MsgIcon icon,
                                 MsgButtons buttons = MsgButtons::Ok) = 0;
    // The hourglass: on while something slow runs.
    virtual void setBusy(bool busy) = 0;
    // Returns once work, running on another thread, has finished; what names it for the user
    // ("Reading photo.jpg"). The editor keeps drawing its window meanwhile and says what it
    // waits for, but takes no input until the work is done. The caller takes the work's
    // result or failure afterwards.
    virtual void waitFor(const QString& what, std::future<void>& work) = 0;
};

// Keeps the busy pointer on for one scope, whatever way the scope is left.
class BusyScope {
public:
    explicit BusyScope(UserInteraction& ui) : ui_(ui) { ui_.setBusy(true); }
    ~BusyScope() { ui_.setBusy(false); }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    UserInteraction& ui_;
};

} // namespace orv
