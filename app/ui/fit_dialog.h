#pragma once
// frmProcessImage: Crop, Resize or Place for a picture about to become a background.

#include "app/interaction.h"

#include <QDialog>

class QRadioButton;

namespace orv {

class FitDialog : public QDialog {
    Q_OBJECT
public:
    explicit FitDialog(QWidget* parent = nullptr);
    // Neither option is preset. OK without a choice means Resize; closing without OK
    // leaves Crop.
    FitChoice ask();

protected:
    // The arrow keys among the options choose as they move.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QRadioButton* crop_;
    QRadioButton* resize_;
    QRadioButton* place_;
};

} // namespace orv
