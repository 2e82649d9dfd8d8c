#include "app/ui/fit_dialog.h"

#include "app/editor_session.h"

#include <QButtonGroup>
#include <QHBoxLayout>
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

    layout->addLayout(options);
    layout->addWidget(ok, 0, Qt::AlignHCenter);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    ok->setFocus();
    setFixedSize(sizeHint());
}

FitChoice FitDialog::ask()
{
    if (exec() != QDialog::Accepted) return FitChoice::Crop;
    if (crop_->isChecked()) return FitChoice::Crop;
    return place_->isChecked() ? FitChoice::Place : FitChoice::Resize;
}

} // namespace orv
