#pragma once
// clsTransForm: gives a window, a picture-showing control or a button an irregular outline by
// cutting away every pixel of one colour, writes the outline to a region data file and can
// build it from such a file instead of scanning. The window system's side (what a widget's
// scan reads, setMask, dragging) is behind ShapeTarget; see app/ui/widget_trans_form.h.

#include "app/shaping/transparent_runs.h"

#include <QImage>
#include <QRegion>
#include <QString>
#include <optional>
#include <vector>

namespace orv {

// TransForm errors: a target that cannot be shaped, and region data that cannot be taken.
inline constexpr int kErrTransFormRegionData = static_cast<int>(0x800409D1u);
inline constexpr int kErrTransFormRegionSize = static_cast<int>(0x800409D2u);
inline const QString kTransFormSource = QStringLiteral("TransForm");

enum class ShapeKind { Window, PictureBox, PushButton, CheckBox, OptionButton, Other };

// What ShapeMe works on.
class ShapeTarget {
public:
    virtual ~ShapeTarget() = default;
    virtual ShapeKind kind() const = 0;
    // The button kinds: the caption is cleared and the face drawn in the transparent colour.
    virtual void prepareButton(Colour) {}
    // The scanned area in pixels: a window's or picture's inner size, a button's whole size.
    virtual QSize scanSize() const = 0;
    // The pixels the scan reads: a window's or picture box's held picture, a button as drawn.
    virtual QImage picture() = 0;
    // nullopt: no outline, the plain rectangle.
    virtual void applyOutline(const std::optional<QRegion>& outline) = 0;
};

// A picture held off screen, shaped like a picture box (or any other kind, for tests): what
// the picture generator, the tests and the benchmark shape.
class PictureTarget : public ShapeTarget {
public:
    explicit PictureTarget(QImage picture, ShapeKind kind = ShapeKind::PictureBox)
        : picture_(std::move(picture)), kind_(kind) {}
    ShapeKind kind() const override { return kind_; }
    QSize scanSize() const override { return picture_.size(); }
    QImage picture() override { return picture_; }
    void applyOutline(const std::optional<QRegion>& outline) override { applied = outline; ++applyCount; }

    std::optional<QRegion> applied;
    int applyCount = 0;

private:
    QImage picture_;
    ShapeKind kind_;
};

class clsTransForm {
public:
    // Shapes the target: every pixel of `colour` is cut away. With `load` and a file name
    // the outline is read from that region data file instead (no scan); with a file name
    // and no `load` the scanned outline is also written there before it is applied.
    void ShapeMe(ShapeTarget& target, Colour colour, bool load = false, const QString& fileName = {});

    // Writes the last outline built to a region data file.
    void SaveRegionDataToFile(const QString& fileName) const;

    // The last outline built (nullopt before the first ShapeMe, or from an unsound file).
    const std::optional<QRegion>& outline() const { return outline_; }
    // The runs of the scan in progress; emptied when ShapeMe ends.
    const std::vector<TransparentRun>& runs() const { return runs_; }

private:
    ShapeTarget* target_ = nullptr;
    std::optional<QRegion> outline_;
    std::vector<TransparentRun> runs_;
    int height_ = 0;
    int width_ = 0;
};

} // namespace orv
