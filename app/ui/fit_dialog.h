#pragma once
// frmProcessImage: Crop or Resize for a picture that is not the background's size.

#include "app/interaction.h"

#include <QDialog>

class QRadioButton;

namespace orv {

class FitDialog : public QDialog {
    Q_OBJECT
public:
    explicit FitDialog(QWidget* parent = nullptr);
    // OK without a choice means Resize; closing without OK leaves Crop.
    FitChoice ask();

private:
    QRadioButton* crop_;
    QRadioButton* resize_;
};

} // namespace orv
