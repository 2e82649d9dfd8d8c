#pragma once
// The two input controls of the face with their own key rules: the theme-name box, which
// drops characters a theme name must not hold and caps typing at 40 characters, and the
// element list, which takes no typed input; and the face's command buttons, which press on
// Return.

#include <QComboBox>
#include <QLineEdit>

class QAbstractButton;

namespace orv {

inline constexpr int kTypedNameLimit = 40;

// The theme-name key filter, by character code: letters, digits, space, ? _ - . ~, delete
// and backspace pass.
bool nameKeyPasses(int code);

class ThemeNameBox : public QLineEdit {
    Q_OBJECT
public:
    explicit ThemeNameBox(QWidget* parent = nullptr);
    // Shows a name the theme already has (read from a package, undone): whole, unfiltered.
    void showName(const QString& name);
    bool showingName() const { return showing_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool showing_ = false;
};

class ElementList : public QComboBox {
    Q_OBJECT
public:
    using QComboBox::QComboBox;

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

// A command button on the face presses on Return and Enter as well as on Space, as buttons
// in a dialog do.
void pressOnReturn(QAbstractButton* button);

} // namespace orv
