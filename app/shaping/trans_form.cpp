// ShapeMe step by step: the target's kind decides what is scanned and where the outline
// starts; a region data file replaces the scan; the outline is applied last.
#include "app/shaping/trans_form.h"

#include "app/errors.h"
#include "app/shaping/region_data.h"

namespace orv {

namespace {

bool isButtonKind(ShapeKind kind)
{
    return kind == ShapeKind::PushButton || kind == ShapeKind::CheckBox || kind == ShapeKind::OptionButton;
}

} // namespace

void clsTransForm::ShapeMe(ShapeTarget& target, Colour colour, bool load, const QString& fileName)
{
    target_ = &target;
    const ShapeKind kind = target.kind();
    if (kind == ShapeKind::Other)
        throw AppError(kErrTransForm, kTransFormSource,
                       "Must pass in the name of a Form, PictureBox, CommandButton, CheckBox or "
                       "OptionButton.  TransForm ShapeMe method failed.");
    const bool button = isButtonKind(kind);
    if (button) target.prepareButton(colour);
    const QSize size = target.scanSize();
    width_ = size.width();
    height_ = size.height();

    // The runs are emptied however ShapeMe ends.
    struct ClearRuns {
        std::vector<TransparentRun>& runs;
        ~ClearRuns() { runs.clear(); }
    } clearRuns{runs_};

    if (load && !fileName.isEmpty()) {
        outline_ = readRegionDataFile(fileName);
    } else {
        runs_ = scanTransparentRuns(target.picture(), size, colour);
        // Buttons keep a two-pixel margin clear of their edges.
        const QRect start = button ? QRect(QPoint(2, 2), QPoint(width_ - 3, height_ - 3))
                                   : QRect(0, 0, width_, height_);
        outline_ = subtractRuns(start, runs_);
    }
    if (!fileName.isEmpty() && !load) SaveRegionDataToFile(fileName);
    target.applyOutline(outline_);
}

void clsTransForm::SaveRegionDataToFile(const QString& fileName) const
{
    if (!outline_)
        throw AppError(kErrTransFormRegionSize, kTransFormSource,
                       "Unable to determine size of region in SaveRegionDataToFile");
    const qsizetype size = kRegionHeaderSize + qsizetype(outline_->rectCount()) * kRegionRectSize;
    const QByteArray data = regionData(*outline_);
    if (data.size() != size)
        throw AppError(kErrTransFormRegionData, kTransFormSource,
                       "Unable to get region data in SaveRegionDataToFile");
    writeRegionDataFile(fileName, data);
}

} // namespace orv
