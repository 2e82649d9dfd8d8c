// Opening a package: unpack it into the scratch directory, take the name and colours from
// its theme data file and load the two backgrounds under the names their format needs.
// A package that fails once its name has been read changes nothing: the theme as it was
// (name, colours, both backgrounds) is put back.
#include "app/editor_session.h"
#include "imaging/picture_probe.h"

#include "theme/cab_file.h"
#include "theme/package_files.h"
#include "theme/theme_data_file.h"

#include <QFile>
#include <QFileInfo>

namespace orv {

namespace {

const QString kNoDataFile = QStringLiteral("Unable to locate Theme Data File!");
const QString kCorruptSmall = QStringLiteral(
    "Error - Theme is corrupted!  Use the OrvantisPT Help option to read about the GIF file "
    "format problem. (LoadTheme)");
const QString kCorruptLarge = QStringLiteral(
    "Error - Theme is corrupted or uses GIF image files!  Use the Orvantis Help option to read "
    "about the GIF file format problem. (LoadTheme)");

// The whole file followed by one zero byte, so the readers always find an end.
QByteArray readDataFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw AppError(75, "Orvantis", "Path/File access error: " + path);
    QByteArray bytes = f.read(kMaxThemeDataFileBytes);
    bytes.append('\0');
    return bytes;
}

// Packages made on other systems may name their members in capitals (TDYWATER.001): the
// pictures are found without regard to case, as the data file is. The exact name first.
QString memberPath(const QString& scratch, const QString& member)
{
    if (!QFileInfo::exists(joinPath(scratch, member))) {
        const QStringList found = filesMatching(scratch, member);
        if (!found.isEmpty()) return joinPath(scratch, found.first());
    }
    return joinPath(scratch, member);
}

// What opening a package replaces, kept so that a failed open can put it back.
struct ThemeBeforeOpen {
    Theme theme;
    ImageBuffer today, menu;
    SliderPositions sliders;
    QByteArray themeDataBuffer;

    explicit ThemeBeforeOpen(const EditorSession& s)
        : theme(s.theme), today(s.canvas.oPicBufToday), menu(s.canvas.oPicBufMenu),
          sliders(s.sliders), themeDataBuffer(s.state.themeDataBuffer)
    {
    }

    void restore(EditorSession& s) const
    {
        s.theme = theme;
        emit s.themeNameChanged(s.theme.name);
        s.canvas.oPicBufToday = today;
        s.canvas.oPicBufMenu = menu;
        s.sliders = sliders;
        s.state.themeDataBuffer = themeDataBuffer;
        s.RecolourCommandBar();
        s.redrawCurrentScreen();
        emit s.slidersChanged();
    }
};

} // namespace

bool EditorSession::LoadTheme(const QString& fileName)
{
    std::optional<ThemeBeforeOpen> before;
    bool opened = false;
    trap("LoadTheme", [&] {
        QString path = fileName;
        if (path.isEmpty()) {
            const auto chosen = ui_.openFile({"Select TSK File", "TSK files (*.TSK)|*.TSK",
                                              state.ThemePath + "*.tsk", {}});
            if (!chosen) throw AppError::cancelled();
            path = *chosen;
        }

        theme.menuFollowsMain = false;
        state.ThemePath = path.left(path.lastIndexOf('/') + 1);

        const QString scratch = folders_.scratch();
        emptyFolder(scratch);

        {
            CCabFile cab;
            cab.setCabName(path);
            cab.Extract(QString(), scratch, QString());
        }

        const QStringList dataFiles = filesMatching(scratch, "*.000");
        if (dataFiles.isEmpty()) {
            ui_.messageBox(kNoDataFile, kAppTitle, MsgIcon::Critical);
            return;
        }
        // A picture too large to load is refused before the theme is touched.
        refuseOversizedPicture(memberPath(scratch, kTodayMember));
        refuseOversizedPicture(memberPath(scratch, kMenuMember));

        before.emplace(*this);

        state.themeDataBuffer = readDataFile(joinPath(scratch, dataFiles.first()));
        // The readers see the file alone: the zero after it belongs to the buffer, and a
        // value cut short by the file's end must not take it for its blue byte.
        const QByteArray fileBytes = state.themeDataBuffer.first(state.themeDataBuffer.size() - 1);
        setThemeName(readThemeName(fileBytes));
        readThemeColours(fileBytes, theme.colours);

        RecolourCommandBar();

        deleteMatching(scratch, "*.png");

        auto in = [&](const QString& name) { return joinPath(scratch, name); };
        if (QFileInfo(path).size() <= kCompressedPackageLimit) {
            // Compressed pictures are tried under PNG names whatever they hold; the image
            // buffer decides what it can read.
            renameFile(memberPath(scratch, kTodayMember), in("tdywater.png"));
            if (LoadMainImage(in("tdywater.png"))) {
                renameFile(memberPath(scratch, kMenuMember), in("0stwater.png"));
                if (!LoadMenuImage(in("0stwater.png"))) return;
            } else {
                // Not readable as it stood: the pictures are GIF files, converted to bitmaps
                // with the platform's own reader.
                renameFile(in("tdywater.png"), in("tdywater.gif"));
                renameFile(memberPath(scratch, kMenuMember), in("0stwater.gif"));
                convertToBitmap(in("tdywater.gif"), in("tdywater.bmp"));
                if (!LoadMainImage(in("tdywater.bmp"))) {
                    ui_.messageBox(kCorruptSmall, kAppTitle, MsgIcon::Critical);
                    return;
                }
                convertToBitmap(in("0stwater.gif"), in("0stwater.bmp"));
                if (!LoadMenuImage(in("0stwater.bmp"))) return;
            }
        } else {
            renameFile(memberPath(scratch, kTodayMember), in("tdywater.bmp"));
            if (!LoadMainImage(in("tdywater.bmp"))) {
                ui_.messageBox(kCorruptLarge, kAppTitle, MsgIcon::Critical);
                return;
            }
            renameFile(memberPath(scratch, kMenuMember), in("0stwater.bmp"));
            if (!LoadMenuImage(in("0stwater.bmp"))) return;
        }
        theme.menuEditing = true;

        ResetSliders(0);
        opened = true;
        emptyFolder(scratch);
    });
    if (!opened && before) before->restore(*this);
    return opened;
}

} // namespace orv
