#pragma once
// The command-line tool's user: it never asks anyone. File dialogs are answered with the
// paths the command line gave, the fit choice with --fit, the placement with --focus and
// --zoom, and every box the editor would show is written to stderr: information as it is,
// errors as one line naming the file the command is working on (see about()).

#include "app/interaction.h"

#include <QString>
#include <deque>

namespace orv::cli {

class NonInteractiveUser : public UserInteraction {
public:
    // The answers the next file dialogs get, in order; none left means "cancelled".
    std::deque<QString> fileAnswers;
    FitChoice fit = FitChoice::Crop;
    Placement placement; // the answer when fit is Place

    // Boxes shown so far, and how many of them reported a failure.
    int boxes = 0;
    int errorBoxes = 0;

    std::optional<QString> openFile(const FileDialogRequest&) override { return next(); }
    std::optional<QString> saveFile(const FileDialogRequest&) override { return next(); }
    std::optional<Colour> chooseColour(Colour, const QString&) override { return std::nullopt; }
    FitChoice chooseFit() override { return fit; }
    std::optional<Placement> choosePlacement(PlacementSource&, QSize) override { return placement; }
    MsgResult messageBox(const QString& text, const QString& title, MsgIcon icon,
                         MsgButtons buttons) override;
    void setBusy(bool) override {}
    void waitFor(const QString&, std::future<void>& work) override { work.wait(); }

    // The file the next error boxes are about and the reason they mean for it: an error box
    // then prints "orvantis-cli: FILE: reason (its description)". An empty file prints boxes
    // as they are.
    void about(const QString& file, const QString& reason)
    {
        subject_ = file;
        reason_ = reason;
    }

private:
    std::optional<QString> next();

    QString subject_, reason_;
};

} // namespace orv::cli
