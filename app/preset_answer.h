#pragma once
// A user who has already picked a file another way (dropped it on the window): the next
// open-file question takes that file without showing a dialog, so the command runs exactly
// as if the user had chosen it there, fit choice included. Everything else is passed on.

#include "app/interaction.h"

namespace orv {

class PresetOpenAnswer : public UserInteraction {
public:
    explicit PresetOpenAnswer(UserInteraction& user) : user_(user) {}

    // Answers the next open-file question with path, for as long as the scope lives.
    class Scope {
    public:
        Scope(PresetOpenAnswer& owner, const QString& path) : owner_(owner) { owner_.preset_ = path; }
        ~Scope() { owner_.preset_.reset(); }
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        PresetOpenAnswer& owner_;
    };

    std::optional<QString> openFile(const FileDialogRequest& request) override
    {
        if (preset_) {
            std::optional<QString> answer = std::move(preset_);
            preset_.reset();
            return answer;
        }
        return user_.openFile(request);
    }
    std::optional<QString> saveFile(const FileDialogRequest& r) override { return user_.saveFile(r); }
    std::optional<Colour> chooseColour(Colour start, const QString& title) override
    {
        return user_.chooseColour(start, title);
    }
    FitChoice chooseFit() override { return user_.chooseFit(); }
    std::optional<Placement> choosePlacement(PlacementSource& picture, QSize target) override
    {
        return user_.choosePlacement(picture, target);
    }
    MsgResult messageBox(const QString& text, const QString& title, MsgIcon icon,
                         MsgButtons buttons = MsgButtons::Ok) override
    {
        return user_.messageBox(text, title, icon, buttons);
    }
    void setBusy(bool busy) override { user_.setBusy(busy); }
    void waitFor(const QString& what, std::future<void>& work) override { user_.waitFor(what, work); }

private:
    UserInteraction& user_;
    std::optional<QString> preset_;
};

} // namespace orv
