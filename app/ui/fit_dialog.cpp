#include "app/ui/fit_dialog.h"

#include "app/editor_session.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace orv {

FitDialog::FitDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(kAppTitle);
    setObjectName("frmProcessImage");
    setModal(true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    // The button is made first: it holds the first place in the tab order and the focus,
    // so no option is chosen until the user picks one.
    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("Command1");
    ok->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    auto* options = new QHBoxLayout;
    crop_ = new QRadioButton("Crop Image", this);
    resize_ = new QRadioButton("Resize image to fit", this);
    // Place keeps the picture's proportions; its own dialog follows once the picture is read.
    place_ = new QRadioButton(QStringLiteral("Place\u2026"), this);
    crop_->setObjectName("radMode0");
    resize_->setObjectName("radMode1");
    place_->setObjectName("radMode2");
    auto* group = new QButtonGroup(this);
    group->addButton(crop_, 0);
    group->addButton(resize_, 1);
    group->addButton(place_, 2);
    options->addWidget(crop_);
    options->addWidget(resize_);
    options->addWidget(place_);
    for (QRadioButton* option : {crop_, resize_, place_}) option->installEventFilter(this);

    layout->addLayout(options);
    layout->addWidget(ok, 0, Qt::AlignHCenter);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    ok->setFocus();
    setFixedSize(sizeHint());
}

// Left and Up step to the option before, Right and Down to the one after, and the option
// reached is chosen, so Return then takes what the focus shows. Nothing is chosen before the
// first arrow key.
bool FitDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
    const QList<QRadioButton*> order = {crop_, resize_, place_};
    const int at = static_cast<int>(order.indexOf(qobject_cast<QRadioButton*>(watched)));
    if (at < 0) return false;
    int by = 0;
    switch (static_cast<QKeyEvent*>(event)->key()) {
    case Qt::Key_Left:
    case Qt::Key_Up: by = -1; break;
    case Qt::Key_Right:
    case Qt::Key_Down: by = 1; break;
    default: return false;
    }
    QRadioButton* next = order[std::clamp(at + by, 0, static_cast<int>(order.size()) - 1)];
    next->setFocus(Qt::TabFocusReason);
    next->setChecked(true);
    return true;
}

FitChoice FitDialog::ask()
{
    if (exec() != QDialog::Accepted) return FitChoice::Crop;
    if (crop_->isChecked()) return FitChoice::Crop;
    return place_->isChecked() ? FitChoice::Place : FitChoice::Resize;
}

} // namespace orv
