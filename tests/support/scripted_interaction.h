#pragma once
// A user who answers from a script and writes down every question and box.

#include "app/interaction.h"
#include "imaging/placement_source.h"

#include <QStringList>
#include <deque>
#include <functional>
#include <utility>
#include <vector>

namespace orv::test {

struct RecordedBox {
    QString text;
    QString title;
    MsgIcon icon;
    MsgButtons buttons;
};

class ScriptedInteraction : public UserInteraction {
public:
    // Answers, taken in order; an empty queue means "cancel".
    std::deque<std::optional<QString>> fileAnswers;
    std::deque<std::optional<Colour>> colourAnswers;
    std::deque<FitChoice> fitAnswers; // empty: Crop (dialog closed)
    std::deque<std::optional<Placement>> placementAnswers; // empty: cancelled
    std::deque<MsgResult> boxAnswers; // empty: Ok

    // What was asked.
    std::vector<FileDialogRequest> fileRequests;
    std::vector<Colour> colourRequests;
    QStringList colourTitles;
    int fitRequests = 0;
    std::vector<std::pair<QSize, QSize>> placementRequests; // picture size, target size
    std::vector<RecordedBox> boxes;
    int busyOn = 0, busyOff = 0;
    // Runs as a colour dialog or a message box is asked for, to look at the state then.
    std::function<void()> onAsk;

    std::optional<QString> openFile(const FileDialogRequest& r) override { return nextFile(r); }
    std::optional<QString> saveFile(const FileDialogRequest& r) override { return nextFile(r); }
    std::optional<Colour> chooseColour(Colour start, const QString& title) override
    {
        colourRequests.push_back(start);
        colourTitles.push_back(title);
        if (onAsk) onAsk();
        if (colourAnswers.empty()) return std::nullopt;
        auto a = colourAnswers.front();
        colourAnswers.pop_front();
        return a;
    }
    FitChoice chooseFit() override
    {
        ++fitRequests;
        if (fitAnswers.empty()) return FitChoice::Crop;
        auto a = fitAnswers.front();
        fitAnswers.pop_front();
        return a;
    }
    std::optional<Placement> choosePlacement(PlacementSource& picture, QSize target) override
    {
        placementRequests.emplace_back(picture.size(), target);
        if (placementAnswers.empty()) return std::nullopt;
        auto a = placementAnswers.front();
        placementAnswers.pop_front();
        return a;
    }
    MsgResult messageBox(const QString& text, const QString& title, MsgIcon icon,
                         MsgButtons buttons) override
    {
        boxes.push_back({text, title, icon, buttons});
        if (onAsk) onAsk();
        if (boxAnswers.empty()) return MsgResult::Ok;
        auto a = boxAnswers.front();
        boxAnswers.pop_front();
        return a;
    }
    void setBusy(bool on) override { (on ? busyOn : busyOff)++; }
    // What the core waited for while work ran on another thread.
    QStringList waits;
    std::function<void()> onWait; // runs while the work may still be running
    void waitFor(const QString& what, std::future<void>& work) override
    {
        waits << what;
        if (onWait) onWait();
        work.wait();
    }

    QStringList boxTexts() const
    {
        QStringList out;
        for (const auto& b : boxes) out << b.text;
        return out;
    }

private:
    std::optional<QString> nextFile(const FileDialogRequest& r)
    {
        fileRequests.push_back(r);
        std::optional<QString> answer;
        if (!fileAnswers.empty()) {
            answer = std::move(fileAnswers.front());
            fileAnswers.pop_front();
        }
        return answer;
    }
};

} // namespace orv::test
