// The theme model's commands: element selection, colour picking, reset, new and opened
// themes. Each change of the theme is one undo step.
#include "app/editor_session.h"
#include "app/recovery.h"
#include "preview/hit_test.h"

namespace orv {

void EditorSession::cmbElements_Click(int index)
{
    selectedElement = index;
    if (index == 7 || index == 8) {
        DoScreenMessage();
        theme.clearScreenFlags();
        theme.messageScreen = true;
    } else if (index == 9 || index == 10) {
        DoScreenMessageImp();
        theme.clearScreenFlags();
        theme.importantScreen = true;
    } else if (index == 6) {
        DoScreenNavigation();
        theme.clearScreenFlags();
        theme.navigationScreen = true;
    } else if (theme.anyScreenFlag()) {
        theme.clearScreenFlags();
        DoScreenMain();
    }
}

void EditorSession::GetColor()
{
    edit("Color", [&] {
        trap("GetColor", [&] {
            const int i = selectedElement;
            const bool isElement = i >= 0 && i < kElementCount;
            const Colour start = isElement ? theme.element(i) : kBlack;
            // The dialog names the element it colours: "Select Color: Today Screen Text".
            QString title = QStringLiteral("Select Color");
            if (isElement) {
                QString caption = QString::fromLatin1(kSlots[static_cast<size_t>(slotOfElement(i))].caption);
                if (caption.endsWith(" Color")) caption.chop(6);
                title += ": " + caption;
            }
            const std::optional<Colour> chosen = ui_.chooseColour(start, title);
            if (!chosen) throw AppError::cancelled();
            if (!isElement) return;
            theme.setElement(i, *chosen & 0xFFFFFF);
            switch (kSlots[static_cast<size_t>(slotOfElement(i))].redraw) {
            case Redraw::Main: DoScreenMain(); break;
            case Redraw::CommandBarThenMain:
                RecolourCommandBar();
                DoScreenMain();
                break;
            case Redraw::Navigation: DoScreenNavigation(); break;
            case Redraw::Message: DoScreenMessage(); break;
            case Redraw::Important: DoScreenMessageImp(); break;
            case Redraw::None: break;
            }
        });
    });
}

void EditorSession::resetColours()
{
    edit("Reset Colors", [&] {
        theme.SetDefaultColours();
        RecolourCommandBar();
        redrawCurrentScreen();
    });
}

void EditorSession::ResetTheme()
{
    trap("ResetTheme", [&] {
        setThemeName(QString());
        canvas.oPicBufToday.Create(24, 240, 293, kWhite);
        canvas.oPicBufMenu.Create(24, 150, 293, kWhite);
        theme.SetDefaultColours();
        RecolourCommandBar();

        ImageBuffer& work = canvas.oPicBufWork;
        work.ResampleMode = 2;
        work.setPicture(builtinPicture("BLANK"));
        work.ConvertBitsPerPixel(24);
        work.setRect(0, 0, 240, 293);
        canvas.oPicBufToday.setRect(0, 0, 240, 293);
        canvas.oPicBufToday.CopyFrom(true, work, true, 0);
        work.Clear(2);
        work.setPicture(builtinPicture("BLANK"));
        work.ConvertBitsPerPixel(24);
        work.setRect(0, 0, 150, 293);
        canvas.oPicBufMenu.setRect(0, 0, 150, 293);
        canvas.oPicBufMenu.CopyFrom(true, work, true, 0);

        ResetSliders(0);
        theme.menuEditing = false;
        theme.menuFollowsMain = true;
    });
}

void EditorSession::newTheme()
{
    edit("Start New Theme", [&] {
        ResetTheme();
        DoScreenMain();
        state.themeDataBuffer = QByteArray(2, '\0');
        emit elementSelected(0);
        cmbElements_Click(0);
    });
    markUnchanged();
}

void EditorSession::editColourAt(int x, int y)
{
    const PreviewHit hit = hitTest(x, y, theme);
    if (hit.kind != HitKind::Element) return;
    emit elementSelected(hit.element);
    cmbElements_Click(hit.element);
    GetColor();
}

bool EditorSession::openTheme(const QString& fileName)
{
    bool opened = false;
    edit("Open Theme", [&] { opened = LoadTheme(fileName); });
    if (opened) markUnchanged();
    return opened;
}

void EditorSession::themeSaved()
{
    markUnchanged();
    // The saved package holds the work now: a copy kept from an earlier close is not needed.
    discardKeptTheme(folders_.dataDir);
}

} // namespace orv
