#pragma once
// Nobody to ask, for the benchmarks: every question is cancelled, every box counted.

#include "app/interaction.h"

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
};

} // namespace orv::bench
