#pragma once
// A user at the screen: answers the real modal dialogs the editor opens, one step per
// dialog, in the order they appear. Each step gets the dialog and must close it.

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QProgressDialog>
#include <QTimer>
#include <QWidget>
#include <deque>
#include <functional>
#include <vector>

namespace orv::test {

class ModalAnswers {
public:
    using Step = std::function<void(QWidget* dialog)>;

    ModalAnswers()
    {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] { poll(); });
        timer_.start();
    }

    void then(Step step) { steps_.push_back(std::move(step)); }

    // Object names of the dialogs met, in order (an unexpected dialog is rejected and listed).
    std::vector<QString> seen;
    bool pending() const { return !steps_.empty(); }

private:
    void poll()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible() || modal == last_) return;
        // A note that the editor is reading a picture asks nothing and goes by itself.
        if (qobject_cast<QProgressDialog*>(modal)) return;
        last_ = modal;
        seen.push_back(modal->objectName().isEmpty() ? QString::fromLatin1(modal->metaObject()->className())
                                                     : modal->objectName());
        if (steps_.empty()) {
            if (auto* d = qobject_cast<QDialog*>(modal)) d->reject();
            return;
        }
        Step step = std::move(steps_.front());
        steps_.pop_front();
        step(modal);
    }

    QTimer timer_;
    std::deque<Step> steps_;
    QPointer<QWidget> last_;
};

} // namespace orv::test
