#pragma once
// The user-interaction boundary answered with Qt dialogs.

#include "app/interaction.h"

class QWidget;

namespace orv {

class QtInteraction : public UserInteraction {
public:
    explicit QtInteraction(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }

    std::optional<QString> openFile(const FileDialogRequest& request) override;
    std::optional<QString> saveFile(const FileDialogRequest& request) override;
    std::optional<Colour> chooseColour(Colour start, const QString& title) override;
    FitChoice chooseFit() override;
    std::optional<Placement> choosePlacement(PlacementSource& picture, QSize target) override;
    MsgResult messageBox(const QString& text, const QString& title, MsgIcon icon,
                         MsgButtons buttons) override;
    void setBusy(bool busy) override;
    void waitFor(const QString& what, std::future<void>& work) override;

private:
    QWidget* parent_;
};

// "Description|*.ext|Other|*.a;*.b" as the Qt filter "Description (*.ext);;Other (*.a *.b)".
QString qtFilterOf(const QString& filter);

} // namespace orv
