#pragma once
// The editor session: the theme, the image buffers, the screen flags and the adjustment
// values, and every command the main window carries out. Windows own one session, forward
// their events to it and show its buffers. All questions to the user go through the
// UserInteraction it was given.
//
// The routines are defined in the files of their subsystem: app/ (start-up, theme model
// commands), theme/ (data file, loading, saving), preview/ (canvas, composers, text),
// imaging/ (import, adjustments, export).

#include "app/errors.h"
#include "app/folders.h"
#include "app/interaction.h"
#include "app/program_state.h"
#include "preview/canvas.h"
#include "preview/legibility.h"
#include "theme/theme_model.h"

#include <QDateTime>
#include <QObject>
#include <functional>
#include <memory>

class QUndoStack;

namespace orv {

inline const QString kAppTitle = QStringLiteral("Orvantis by Zephrin");
inline const QString kVersion = QStringLiteral("1.0.0");

struct AdjustmentSet {
    double gamma = 5.0;
    float brightness = 0.5f;
    float contrast = 0.5f;
    bool operator==(const AdjustmentSet&) const = default;
};

struct SliderPositions {
    int gamma = 500;
    int brightness = 500;
    int contrast = 500;
    bool operator==(const SliderPositions&) const = default;
};

enum class Slider { Brightness, Contrast, Gamma };

class EditorSession : public QObject {
    Q_OBJECT
public:
    EditorSession(UserInteraction& ui, Folders folders, QObject* parent = nullptr);
    ~EditorSession() override;

    // --- state ---------------------------------------------------------------------------
    UserInteraction& ui() { return ui_; }
    const Folders& folders() const { return folders_; }
    ProgramState state;
    Theme theme;
    Canvas canvas;
    AdjustmentSet adjustToday;
    AdjustmentSet adjustMenu;
    SliderPositions sliders;
    int selectedElement = -1; // the element list's current index (-1: none)

    // The desktop clock; tests fix it.
    std::function<QDateTime()> clock = [] { return QDateTime::currentDateTime(); };

    // --- error trap ----------------------------------------------------------------------
    // Shows the error box: "Error: " + description + " (" + routine + ")".
    void ShowErrorBox(const QString& routine, const AppError& error);
    // Runs body; an AppError (or any exception) shows the box with routine's name, the
    // cancel error ends silently. Returns false when an error was trapped.
    bool trap(const QString& routine, const std::function<void()>& body);

    // --- undo and the unchanged point (app/editor_session.cpp) ----------------------------
    // Runs fn as one change of the theme: when the theme differs afterwards (after a routine
    // that failed half-way too), one undo step named label goes on the stack. An edit inside
    // another belongs to the outer one. Steps of the same nonzero mergeKey that follow each
    // other within one burst become one step (a slider drag, a typed name). Returns whether
    // the theme changed.
    bool edit(const QString& label, const std::function<void()>& fn, int mergeKey = 0);
    static constexpr int kMergeSlider = 1;
    static constexpr int kMergeName = 2;
    // Ends the burst: the next step of any key stands on its own (a slider let go).
    void endBurst();
    // True while a change runs (a later request must wait for it).
    bool isEditing() const { return editDepth_ > 0; }
    QUndoStack& undoStack() { return *undo_; }
    void undo();
    void redo();
    // Whether the theme differs from what was last opened, started or saved.
    bool isModified() const;
    // The theme as it stands is what was last opened, started or saved.
    void markUnchanged();

    // --- start-up and close (app/startup.cpp) ---------------------------------------------
    // Reads the settings of Main (names, Paths, CD, TodayText, Skin).
    void readStartupSettings();
    // Form_Load steps that are not widget work; the window does its own part.
    void formLoad(const QString& commandLine);
    void formUnload();

    // --- theme model (app/theme_commands.cpp) ----------------------------------------------
    void cmbElements_Click(int index);
    void GetColor();
    void ResetTheme();
    void resetColours();   // the reset-colours command
    void newTheme();       // ResetTheme and what the new-theme command does after it
    void setThemeName(const QString& name);
    // The name as the user types it: one undo step per burst of typing.
    void typeThemeName(const QString& name);
    // Open Theme, from the dialog or with a path (a drop, a hand-over): one undo step, and
    // the opened theme is the unchanged point. True when the package opened.
    bool openTheme(const QString& fileName = {});
    // After a successful save: the theme is the unchanged point.
    void themeSaved();
    // A package named at start: it is what the editor started with, the unchanged point,
    // not a step the user could undo back to the empty theme.
    bool openAtStart(const QString& fileName);
    // The folder the transfer window starts in: the one remembered, else the package folder,
    // remembered from then on. A remembered folder, not part of the theme: no undo step.
    QString transferFolder();

    // --- theme data file (theme/save000data.cpp) -----------------------------------------
    void Save000Data();

    // --- loading and saving (theme/theme_loading.cpp, theme/theme_saving.cpp) -------------
    // True when the package was read and both backgrounds loaded; the boxes tell the user.
    bool LoadTheme(const QString& fileName = {});
    // True when the package was written. With a path, writes there without asking and
    // without the closing message (the remembered folder stays as it is).
    bool SaveTheme(const QString& toPath = {});

    // --- preview (preview/) ----------------------------------------------------------------
    void setupCanvas();
    void LoadIconImages();
    void RecolourCommandBar();
    void DoScreenMain();
    void DoScreenMessage();
    void DoScreenMessageImp();
    void DoScreenNavigation();
    void DoScreenMenu();
    void DoText();
    void DoLines();
    // Redraws the screen now shown: menu, message, important, navigation, else main.
    void redrawCurrentScreen();

    // --- clicks on the preview (preview/hit_test.cpp); x, y in screen pixels ----------------
    void PicBufMouseUP(int button, int shift, int x, int y);
    void toggleStartMenu();
    void toggleMessagePopup();
    void toggleImportantPopup();
    // The colour of the element at a screen pixel, from the preview's context menu: the
    // element is selected and its screen shown, then the colour dialog opens.
    void editColourAt(int x, int y);

    // --- pictures (imaging/) ---------------------------------------------------------------
    void ResetSliders(int which);
    void sliderChanged(Slider slider, int value);
    void switchEditTarget(bool menu);
    void resetSlidersCommand();
    void toggleColourDepth();
    void toggleDitherMain();
    void toggleDitherMenu();
    // True when the background was loaded; false after a cancel or an error.
    bool LoadMainImage(const QString& fileName = {});
    bool LoadMenuImage(const QString& fileName = {}, bool quiet = false);
    void mnuSaveMainImage();
    void mnuSaveMenuImage();
    void ScreenCapture();

    // --- readable text and matching colours (app/legibility_commands.cpp) -------------------
    // The legibility checks of the theme over the last composed Today screen (none before
    // the first redraw); suggest as checkLegibility takes it.
    std::vector<LegibilityCheck> legibilityChecks(bool suggest = true) const;
    // The worst unreadable text takes its suggestion and the screen is redrawn. False when
    // every text reads already.
    bool fixLegibility();
    // Every unreadable text takes its suggestion; how many changed.
    int fixAllLegibility();
    // "Match Colors to Picture": all eleven colours from the Today background as shown: an
    // accent from its most populous saturated colour, shades of it for the bars, readable
    // text. False, and nothing changed, before the first redraw or when no palette can be
    // made.
    bool matchColoursToPicture();

    // Captions that follow the switches.
    QString colourDepthCaption() const;
    QString saveCaption() const;
    QString ditherMainCaption() const;
    QString ditherMenuCaption() const;

signals:
    void previewChanged();       // oPicBuf holds a new screen
    void themeNameChanged(const QString& name);
    void elementSelected(int index);
    void slidersChanged();       // slider positions set from code
    void captionsChanged();      // colour depth or dither captions
    void modifiedChanged(bool modified); // the theme left or reached its unchanged point

private:
    UserInteraction& ui_;
    Folders folders_;
    QUndoStack* undo_ = nullptr; // a child of the session
    int editDepth_ = 0;
    int burst_ = 0;
};

} // namespace orv
