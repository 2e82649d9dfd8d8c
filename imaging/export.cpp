// Writing pictures out without building a package: the two backgrounds as PNG, as they
// are held (no adjustments), and the visible preview as a JPEG capture.
#include "app/editor_session.h"
#include "app/output_target.h"
#include "imaging/folder_of.h"
#include "theme/theme_file_name.h"

namespace orv {

namespace {

constexpr int kScreenWidth = 240;
constexpr int kScreenHeight = 320;

} // namespace

static void saveBackground(EditorSession& s, ImageBuffer& background, const QString& filterName,
                           const QString& title)
{
    // Both exports report under one routine name, as users have always seen them.
    s.trap("mnuSaveMainImage", [&] {
        const std::optional<QString> chosen =
            s.ui().saveFile({title, filterName + " (*.png)|*.png", s.state.ImagesPath + "*.png",
                             QStringLiteral("png")});
        if (!chosen) throw AppError::cancelled();
        requireOutputTarget(*chosen);
        s.state.ImagesPath = folderOf(*chosen);
        background.FileName = *chosen;
        background.FileFormat = 9;
        background.SaveFile();
    });
}

void EditorSession::mnuSaveMainImage()
{
    saveBackground(*this, canvas.oPicBufToday, "Save Main Image", "Save Main Background Image");
}

void EditorSession::mnuSaveMenuImage()
{
    saveBackground(*this, canvas.oPicBufMenu, "Save Menu Image", "Save Menu Background Image");
}

void EditorSession::ScreenCapture()
{
    trap("ScreenCapture", [&] {
        const QString name = theme.name.trimmed();
        const QString initial =
            state.CapturePath + (name.isEmpty() ? "*.jpg" : themeFileName(name) + ".jpg");
        const std::optional<QString> chosen = ui_.saveFile(
            {"Save Screen Capture", "Theme Capture Image (*.jpg)|*.jpg", initial, "jpg"});
        if (!chosen) throw AppError::cancelled();
        const QString path = *chosen;
        requireOutputTarget(path);

        {
            BusyScope busy(ui_);
            state.CapturePath = folderOf(path);

            // A white 240 by 320 picture with the preview pasted on it: the capture has the
            // screen's size whatever the preview buffer holds below row 319.
            ImageBuffer& work = canvas.oPicBufWork;
            work.Clear(2);
            work.Create(24, kScreenWidth, kScreenHeight, kWhite);
            work.CopyFrom(false, canvas.oPicBuf, false, 0);

            work.ForeColor = kBlack;
            work.setRect(0, 0, kScreenWidth, kScreenHeight);
            work.DrawRect(0);

            work.FileName = path;
            work.FileFormat = 7;
            work.SaveQuality = 90;
            try {
                work.SaveFile();
            } catch (...) {
                work.SaveQuality = 0;
                throw;
            }
            work.SaveQuality = 0;
            work.Clear(2);
        }
        ui_.messageBox("Image " + path + " is saved.", kAppTitle, MsgIcon::Information);
    });
}

} // namespace orv
