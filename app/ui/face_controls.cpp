// Key rules of the name box and the element list.
#include "app/ui/face_controls.h"

#include <QAbstractButton>
#include <QKeyEvent>

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

ThemeNameBox::ThemeNameBox(QWidget* parent) : QLineEdit(parent)
{
    // No maxLength: it would cut a longer name read from a package when it is shown.
}

void ThemeNameBox::keyPressEvent(QKeyEvent* event)
{
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
