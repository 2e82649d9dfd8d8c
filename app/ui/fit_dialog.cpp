#include "app/ui/fit_dialog.h"

#include <QButtonGroup>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace orv {

FitDialog::FitDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle("Process Image");
    setObjectName("frmProcessImage");
    auto* layout = new QVBoxLayout(this);
    crop_ = new QRadioButton("Crop Image", this);
    resize_ = new QRadioButton("Resize image to fit", this);
    crop_->setObjectName("radMode0");
    resize_->setObjectName("radMode1");
    auto* group = new QButtonGroup(this);
    group->addButton(crop_);
    group->addButton(resize_);
    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("Command1");
    ok->setDefault(true);
    layout->addWidget(crop_);
    layout->addWidget(resize_);
    layout->addWidget(ok);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

FitChoice FitDialog::ask()
{
    if (exec() != QDialog::Accepted) return FitChoice::Crop;
    return crop_->isChecked() ? FitChoice::Crop : FitChoice::Resize;
}

} // namespace orv
