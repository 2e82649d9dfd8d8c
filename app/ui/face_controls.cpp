// Key rules of the name box and the element list.
#include "app/ui/face_controls.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QValidator>

#include <algorithm>

namespace orv {

namespace {

class ReturnPresses : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress) return false;
        auto* key = static_cast<QKeyEvent*>(event);
        const bool plain = key->modifiers() == Qt::NoModifier || key->modifiers() == Qt::KeypadModifier;
        if (!plain || (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)) return false;
        if (!key->isAutoRepeat()) static_cast<QAbstractButton*>(watched)->click();
        return true;
    }
};

} // namespace

void pressOnReturn(QAbstractButton* button)
{
    button->installEventFilter(new ReturnPresses(button));
}

bool nameKeyPasses(int code)
{
    auto in = [code](int low, int high) { return code >= low && code <= high; };
    if (!in(32, 127) && code != 8) return false;
    if (in(58, 64) && code != 63) return false;
    if (in(91, 96) && code != 95) return false;
    if (in(123, 125)) return false;
    if (in(33, 47) && code != 45 && code != 46) return false;
    return true;
}

namespace {

// Text that arrives other than by a key (paste from the menu or the selection, a drop) goes
// through the key rule character by character, and only as much of it as the cap leaves
// room for is taken. A longer name shown from a package is never cut.
class NameInputRule : public QValidator {
public:
    explicit NameInputRule(ThemeNameBox* box) : QValidator(box), box_(box), before_(box->text())
    {
        connect(box, &QLineEdit::textChanged, this, [this](const QString& text) { before_ = text; });
    }
    State validate(QString& input, int& pos) const override
    {
        if (box_->showingName()) return Acceptable;
        QString kept;
        int keptPos = 0;
        for (int i = 0; i < input.size(); ++i) {
            if (!nameKeyPasses(input.at(i).unicode()) || input.at(i).unicode() == 8 ||
                input.at(i).unicode() == 127)
                continue;
            kept += input.at(i);
            if (i < pos) ++keptPos;
        }
        // The excess of what came in goes, from just before the cursor (the end of the paste).
        const int room = std::max<int>(kTypedNameLimit, before_.size());
        if (kept.size() > room && kept.size() > before_.size()) {
            const int excess = static_cast<int>(kept.size()) - room;
            kept.remove(std::max(0, keptPos - excess), std::min(excess, keptPos));
            keptPos = std::max(0, keptPos - excess);
        }
        input = kept;
        pos = std::min(keptPos, static_cast<int>(kept.size()));
        return Acceptable;
    }

private:
    ThemeNameBox* box_;
    QString before_;
};

bool isEditingKey(QKeyEvent* event)
{
    for (QKeySequence::StandardKey k : {QKeySequence::SelectAll, QKeySequence::Copy, QKeySequence::Paste,
                                        QKeySequence::Cut, QKeySequence::Undo, QKeySequence::Redo})
        if (event->matches(k)) return true;
    return false;
}

} // namespace

ThemeNameBox::ThemeNameBox(QWidget* parent) : QLineEdit(parent)
{
    // No maxLength: it would cut a longer name read from a package when it is shown.
    setValidator(new NameInputRule(this));
}

void ThemeNameBox::showName(const QString& name)
{
    showing_ = true;
    setText(name);
    showing_ = false;
}

void ThemeNameBox::keyPressEvent(QKeyEvent* event)
{
    // The clipboard and selection keys work as in any text box; what they paste is filtered.
    if (isEditingKey(event)) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    const QString typed = event->text();
    if (typed.size() == 1) {
        const int code = typed.at(0).unicode();
        if (!nameKeyPasses(code)) {
            event->accept();
            return;
        }
        const bool adds = code >= 32 && code != 127;
        if (adds && text().size() - selectedText().size() >= kTypedNameLimit) {
            event->accept();
            return;
        }
    } else if (typed.size() > 1) {
        event->accept(); // composed input is not among the keys a name takes
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void ElementList::keyPressEvent(QKeyEvent* event)
{
    // Plain arrow keys still move through the list; every other key, Space and the keys
    // that drop the list open included, is discarded.
    const bool plain = event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier;
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Right:
        if (plain) {
            QComboBox::keyPressEvent(event);
            return;
        }
        break;
    default: break;
    }
    event->accept();
}

} // namespace orv
