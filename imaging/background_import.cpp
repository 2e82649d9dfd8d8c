// Loading a picture into the Today or the Start menu background and fitting it to the
// background's fixed size, by cropping, by resizing or by placing a frame over it.
#include "app/editor_session.h"
#include "imaging/adjustment_values.h"
#include "imaging/folder_of.h"
#include "imaging/image_buffer_files.h"
#include "imaging/placement.h"
#include "imaging/placement_source.h"

#include <QFileInfo>
#include <functional>
#include <future>
#include <optional>

namespace orv {

namespace {

constexpr int kTodayWidth = 240;
constexpr int kMenuWidth = 150;
constexpr int kBackgroundHeight = 293;
constexpr qint64 kReadAsideBytes = 1 << 20; // a picture file this large is read on another thread

const QString kPictureExtensions = QStringLiteral("*.bmp;*.png;*.jpg;*.pcx;*.tga");
const QString kPictureWildcard = QStringLiteral("*.bmp;*.jpg;*.png;*.pcx;*.tga");

// Keeps LoadFitFlag on for one read, however the read ends.
class FitFlagScope {
public:
    FitFlagScope(ImageBuffer& b, bool on) : b_(b) { b_.LoadFitFlag = on; }
    ~FitFlagScope() { b_.LoadFitFlag = false; }
    FitFlagScope(const FitFlagScope&) = delete;
    FitFlagScope& operator=(const FitFlagScope&) = delete;

private:
    ImageBuffer& b_;
};

// Fits the scratch picture into a freshly created white background. Crop takes the
// picture's top-left pixels one to one, so a smaller picture leaves white where it ends;
// Resize squeezes the whole picture into the background without keeping proportions.
void fitInto(ImageBuffer& background, ImageBuffer& work, int width, bool crop, bool wholeSource)
{
    work.setRect(0, 0, width, kBackgroundHeight);
    background.setRect(0, 0, width, kBackgroundHeight);
    if (!crop) background.ResampleMode = 3;
    background.Create(24, width, kBackgroundHeight, kWhite);
    background.FitStyle = 3;
    if (crop) background.ResampleMode = 0; // one to one, never stretched
    background.CopyFrom(true, work, !wholeSource, 0);
    if (background.BitsPerPixel() < 24) background.ConvertBitsPerPixel(24);
    background.ResampleMode = 2;
}

// Reads the picture and asks where it goes, both at once: the placement dialog opens on a
// reduced copy while the whole picture is read on another thread. The placed result, made
// from the whole picture, becomes the scratch picture: it already has the background's size,
// so the crop that follows copies it one to one and the rest of the load (the Start menu
// following the Today picture included) is unchanged. A cancelled placement leaves the whole
// picture to be cropped, as a closed fit dialog does. A picture that cannot be shown before
// it is read whole is read first, so an unreadable file is reported before anything is asked.
void readAndPlace(UserInteraction& ui, ImageBuffer& work, const QString& path, int width)
{
    const QSize target(width, kBackgroundHeight);
    PlacementSource source(path);
    if (!source.quickView()) source.whole();
    const std::optional<Placement> placement = ui.choosePlacement(source, target);
    QImage whole;
    {
        // OK may come before the whole picture is read.
        std::optional<BusyScope> busy;
        if (!source.ready()) busy.emplace(ui);
        whole = source.whole();
    }
    work.FileName = path;
    work.setPicture(placement ? placePicture(whole, target, *placement) : whole);
}

// Reads the scratch picture's file. A crop copies the top-left pixels one to one, so a large
// photo need not be decoded past them. A large file is read on another thread while the
// window keeps drawing, since reading it whole takes a noticeable time; nothing else touches
// the scratch picture meanwhile, as the window takes no input until the read is done. A
// small one (a package's own backgrounds) is read at once. A large JPEG to be resized is
// meanwhile decoded at reduced size straight to the background's size and handed to
// firstView, so the screen can show the new picture before the whole one is read.
void readPicture(UserInteraction& ui, ImageBuffer& work, bool crop, QSize background,
                 const std::function<void(const QImage&)>& firstView = {})
{
    const auto load = [&work, crop, background] {
        if (crop)
            LoadFileTopLeft(work, background);
        else
            work.LoadFile();
    };
    if (QFileInfo(work.FileName).size() < kReadAsideBytes) {
        load();
        return;
    }
    const QString path = work.FileName;
    std::future<void> read = std::async(std::launch::async, load);
    if (!crop && firstView && !quickViewSize(path).isEmpty()) {
        const QImage quick = quickView(path, background);
        if (!quick.isNull()) firstView(quick);
    }
    ui.waitFor("Reading " + QFileInfo(path).fileName(), read);
    read.get(); // the read's failure is reported here, as before
}

// A background drawn from a quick view while its picture is read. A read that fails puts
// the background as it was back on the screen.
class FirstView {
public:
    FirstView(ImageBuffer& background, int width, std::function<void()> redraw)
        : background_(background), width_(width), redraw_(std::move(redraw))
    {
    }
    ~FirstView()
    {
        if (!before_ || done_) return;
        background_ = *before_;
        redraw_();
    }
    FirstView(const FirstView&) = delete;
    FirstView& operator=(const FirstView&) = delete;

    void show(const QImage& quick)
    {
        if (!before_) before_ = background_;
        ImageBuffer picture;
        picture.setPicture(quick);
        fitInto(background_, picture, width_, false, true);
        redraw_();
    }
    void done() { done_ = true; }

private:
    ImageBuffer& background_;
    int width_;
    std::function<void()> redraw_;
    std::optional<ImageBuffer> before_;
    bool done_ = false;
};

} // namespace

bool EditorSession::LoadMainImage(const QString& fileName)
{
    const bool pathGiven = !fileName.isEmpty();
    bool loaded = false;
    state.fitCrop = true;
    trap("LoadMainImage", [&] {
        QString path = fileName;
        bool place = false;
        if (!pathGiven) {
            ResetSliders(1);
            const std::optional<QString> chosen = ui_.openFile(
                {"Load Main Background Image",
                 "Main Image (" + kPictureExtensions + ")|" + kPictureExtensions,
                 state.ImagesPath + kPictureWildcard, QString()});
            if (!chosen) throw AppError::cancelled();
            path = *chosen;
            state.ImagesPath = folderOf(path);
            const FitChoice fit = ui_.chooseFit();
            // A placed picture is cropped from a scratch picture of the background's size.
            state.fitCrop = fit != FitChoice::Resize;
            place = fit == FitChoice::Place;
        }
        const bool crop = state.fitCrop;

        ImageBuffer& work = canvas.oPicBufWork;
        work.Create(24, kTodayWidth, 320, kWhite);
        work.FileFormat = 0;
        if (place) {
            readAndPlace(ui_, work, path, kTodayWidth);
        } else {
            FirstView first(canvas.oPicBufToday, kTodayWidth, [this] { DoScreenMain(); });
            try {
                FitFlagScope fit(work, !crop);
                work.FileName = path;
                readPicture(ui_, work, crop, QSize(kTodayWidth, kBackgroundHeight),
                            [&first](const QImage& quick) { first.show(quick); });
                first.done();
            } catch (const AppError& e) {
                // A package without a usable Today picture: the loader tries its next way.
                if (pathGiven && e.number() == kErrBadPicture) throw AppError::cancelled();
                throw;
            }
            if (work.BitsPerPixel() < 24) work.ConvertBitsPerPixel(24);
        }

        fitInto(canvas.oPicBufToday, work, kTodayWidth, crop, !crop);
        // The scratch picture may be a large photo: it is not kept between operations.
        work.Clear(2);

        if (theme.menuFollowsMain) LoadMenuImage(path, true);

        DoScreenMain();
        theme.menuEditing = false;
        sliders = slidersOf(adjustToday);
        emit slidersChanged();
        loaded = true;
    });
    return loaded;
}

bool EditorSession::LoadMenuImage(const QString& fileName, bool quiet)
{
    bool loaded = false;
    if (!quiet) state.fitCrop = true;
    trap("LoadMenuImage", [&] {
        QString path = fileName;
        bool place = false;
        if (path.isEmpty()) {
            ResetSliders(2);
            const std::optional<QString> chosen = ui_.openFile(
                {"Load Menu Background Image",
                 "Menu Image (" + kPictureExtensions + ")|" + kPictureExtensions,
                 state.ImagesPath + kPictureWildcard, QString()});
            if (!chosen) throw AppError::cancelled();
            path = *chosen;
            state.ImagesPath = folderOf(path);
            const FitChoice fit = ui_.chooseFit();
            state.fitCrop = fit != FitChoice::Resize;
            place = fit == FitChoice::Place;
            theme.menuFollowsMain = false;
        }
        const bool crop = state.fitCrop;
        const bool follows = theme.menuFollowsMain;

        ImageBuffer& work = canvas.oPicBufWork;
        work.Create(24, kMenuWidth, kBackgroundHeight, kWhite);
        work.FileFormat = 0;
        if (follows) {
            // The left 150 columns of the fitted Today background, read from no file.
            work.CopyFrom(false, canvas.oPicBufToday, false, 0);
        } else if (place) {
            readAndPlace(ui_, work, path, kMenuWidth);
        } else {
            FirstView first(canvas.oPicBufMenu, kMenuWidth, [this] { DoScreenMenu(); });
            FitFlagScope fit(work, false);
            work.FileName = path;
            readPicture(ui_, work, crop, QSize(kMenuWidth, kBackgroundHeight),
                        [&](const QImage& quick) {
                            if (!quiet) first.show(quick);
                        });
            first.done();
        }
        if (work.BitsPerPixel() < 24) work.ConvertBitsPerPixel(24);

        fitInto(canvas.oPicBufMenu, work, kMenuWidth, crop || follows, !(follows || crop));
        work.Clear(2);

        if (!quiet) {
            theme.menuEditing = true;
            DoScreenMenu();
            theme.menuFollowsMain = false;
            sliders = slidersOf(adjustMenu);
            emit slidersChanged();
        }
        loaded = true;
    });
    return loaded;
}

} // namespace orv
