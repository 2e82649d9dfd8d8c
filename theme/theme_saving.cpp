// Saving a package: the theme data file and the two adjusted backgrounds go into the
// scratch directory with a directive file, the cabinet builder packs them there, and the
// finished package is put into the chosen folder.
#include "app/editor_session.h"
#include "app/output_target.h"
#include "app/safe_write.h"
#include "imaging/image_buffer_files.h"

#include "theme/package_files.h"
#include "theme/theme_data_file.h"
#include "theme/theme_file_name.h"

#include <QDir>
#include <QFileInfo>
#include <future>

namespace orv {

namespace {

// How long the builder may take before the save gives up on it. It packs three small
// files, so this only guards against a builder that hangs.
constexpr int kBuilderTimeoutMs = 60000;

const QString kUnusablePackageName = QStringLiteral(
    "A package name cannot hold a backslash, a line break or other control characters.");

struct PictureToSave {
    ImageBuffer& source;
    int width;
    const AdjustmentSet& adjust;
    bool optionA, dither, optionB;
    QString member;
};

// The adjusted copy of one background as the package holds it, still at 24 bits.
void prepare(ImageBuffer& work, const PictureToSave& p)
{
    work.ResampleMode = 0;
    p.source.setRect(0, 0, p.width, 293);
    work.CopyFrom(false, p.source, true, 0);
    work.AdjustGamma(p.adjust.gamma);
    work.AdjustBrightnessContrast(p.adjust.brightness, p.adjust.contrast);
    // The handheld reads the corner pixels as the picture's black and white.
    work.SetPixel(0, 0, kBlack);
    work.SetPixel(1, 0, kWhite);
}

void reduce(ImageBuffer& work, const PictureToSave& p)
{
    if (work.BitsPerPixel() > 8) work.ReduceColours(256, p.optionA, p.dither, p.optionB);
}

// The member file is read by the builder at once and deleted after the save, so it is not
// waited onto the disk; the package put in place is.
void write(ImageBuffer& work, const QString& path, bool colourDepth256)
{
    if (colourDepth256) {
        work.FileFormat = 9;
        work.SaveQuality = 0;
    } else {
        work.FileFormat = 7;
        work.SaveQuality = 96;
    }
    work.FileName = path;
    if (!writeIntermediateWhole(path, SavedBytes(work)))
        throw AppError(75, "Picbuf", "Path/File access error: " + path);
    if (colourDepth256) work.ConvertBitsPerPixel(24);
}

// One background from its buffer to its member file in the scratch directory.
void saveBackground(ImageBuffer& work, const PictureToSave& p, const QString& scratch,
                    bool colourDepth256)
{
    prepare(work, p);
    if (colourDepth256) reduce(work, p);
    write(work, joinPath(scratch, p.member), colourDepth256);
}

void writeDirectiveFile(const QString& path, const QByteArray& text)
{
    if (!writeIntermediateWhole(path, text))
        throw AppError(75, "Orvantis", "Path/File access error: " + path);
}

} // namespace

bool EditorSession::SaveTheme(const QString& toPath)
{
    const bool asked = toPath.isEmpty();
    bool saved = false;
    trap("SaveTheme", [&] {
        // The name read from a package is data: only the rule's file name is proposed, so
        // the folder the dialog starts in is the one the user sees and chooses.
        const auto chosen = asked ? ui_.saveFile({"Save Theme", "Save Theme (*.tsk)|*.tsk",
                                                  joinPath(state.TSKPath, themeFileName(theme.name)),
                                                  "tsk"})
                                  : std::optional<QString>(toPath);
        if (!chosen) throw AppError::cancelled();

        // The name goes into a line of the directive file and becomes a file name there:
        // one that cannot survive that is refused before anything is written.
        const int cut = chosen->lastIndexOf('/');
        const QString packageName = packageNameOf(chosen->mid(cut + 1));
        if (!packageNameUsable(packageName)) {
            ui_.messageBox(kUnusablePackageName, kAppTitle, MsgIcon::Exclamation);
            return;
        }
        // A pipe, device or folder under the chosen name is refused before any work.
        requireOutputTarget(joinPath(chosen->left(cut + 1), packageName + ".tsk"));

        QString packageFile; // the package the builder wrote, in the scratch directory
        const QString scratch = folders_.scratch();
        {
            BusyScope busy(ui_);

            const QString folder = chosen->left(cut + 1);
            if (asked) state.TSKPath = folder;

            emptyFolder(scratch);
            Save000Data();

            const PictureToSave today{canvas.oPicBufToday, 240, adjustToday,
                                      state.reduceOptionAMain, state.ditherMain,
                                      state.reduceOptionBMain, kTodayMember};
            const PictureToSave menu{canvas.oPicBufMenu, 150, adjustMenu,
                                     state.reduceOptionAMenu, state.ditherMenu,
                                     state.reduceOptionBMenu, kMenuMember};
            // The Start menu picture goes through the scratch buffer, which keeps it
            // afterwards as before; the Today picture has a buffer of its own, so that the
            // two backgrounds (the colour reduction is the slow part) are made side by side.
            // Each file depends on its own picture only, so it is the same either way.
            ImageBuffer todayWork;
            ImageBuffer& menuWork = canvas.oPicBufWork;
            const bool depth256 = state.colourDepth256;
            auto todaySaved = std::async(std::launch::async, [&] {
                saveBackground(todayWork, today, scratch, depth256);
            });
            std::exception_ptr menuFailed;
            try {
                saveBackground(menuWork, menu, scratch, depth256);
            } catch (...) {
                menuFailed = std::current_exception();
            }
            todaySaved.get(); // the Today picture's failure is the one reported first
            if (menuFailed) std::rethrow_exception(menuFailed);

            writeDirectiveFile(joinPath(scratch, kDirectiveFileName),
                               cabDirectiveText(packageName));
            const QStringList members =
                memberSizes(scratch, {kThemeDataFileName, kMenuMember, kTodayMember});

            // The package is complete only once the builder's process has ended; a builder
            // that failed or hung leaves no package to copy.
            const int status = runAndWait(joinPath(ShortPathOf(folders_.programDir), "makecab"),
                                          {"/f", kDirectiveFileName}, scratch,
                                          kBuilderTimeoutMs);
            // Only the package asked for is installed, and only when it reads back as a
            // cabinet of the three members just written: a builder that ran out of space
            // may have left an empty or short file.
            const QString expected = packageName + ".tsk";
            if (status == 0 && packageHolds(joinPath(scratch, expected), members))
                packageFile = expected;

            if (!packageFile.isEmpty())
                installPackage(joinPath(scratch, packageFile), joinPath(folder, packageFile));
        }

        if (packageFile.isEmpty()) {
            ui_.messageBox("Theme not created!  Try again.", kAppTitle, MsgIcon::Exclamation);
            return;
        }
        saved = true;
        if (asked)
            ui_.messageBox("Theme " + theme.name + " has been saved!", kAppTitle,
                           MsgIcon::Information);
        emptyFolder(scratch);
    });
    return saved;
}

} // namespace orv
