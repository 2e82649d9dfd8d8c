#pragma once
// Nobody to ask, for the benchmarks: every question is cancelled, every box counted.

#include "app/interaction.h"

#include <QGuiApplication>

namespace orv::bench {

class SilentInteraction : public UserInteraction {
public:
    int boxes = 0;
    std::optional<QString> openFile(const FileDialogRequest&) override { return {}; }
    std::optional<QString> saveFile(const FileDialogRequest&) override { return {}; }
    std::optional<Colour> chooseColour(Colour, const QString&) override { return {}; }
    FitChoice chooseFit() override { return FitChoice::Crop; }
    std::optional<Placement> choosePlacement(PlacementSource&, QSize) override { return {}; }
    MsgResult messageBox(const QString&, const QString&, MsgIcon, MsgButtons) override
    {
        ++boxes;
        return MsgResult::Ok;
    }
    void setBusy(bool) override {}
    void waitFor(const QString&, std::future<void>& work) override { work.wait(); }
};

// Answers every file dialog with one path and the fit question with one choice; counts the
// error and warning boxes, so a benchmark can tell a run that failed.
class AnsweringInteraction : public SilentInteraction {
public:
    QString path;
    FitChoice fit = FitChoice::Crop;
    int errors = 0;
    std::optional<QString> openFile(const FileDialogRequest&) override { return path; }
    std::optional<QString> saveFile(const FileDialogRequest&) override { return path; }
    FitChoice chooseFit() override { return fit; }
    MsgResult messageBox(const QString& text, const QString& title, MsgIcon icon, MsgButtons buttons) override
    {
        if (icon == MsgIcon::Critical || icon == MsgIcon::Exclamation) ++errors;
        return SilentInteraction::messageBox(text, title, icon, buttons);
    }
};

// The application object the pictures and fonts need, made once, offscreen.
inline void ensureApplication()
{
    if (QCoreApplication::instance()) return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "orvantis_bench";
    static char* argv[] = {name, nullptr};
    static QGuiApplication app(argc, argv);
}

} // namespace orv::bench
