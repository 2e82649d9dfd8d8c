// Main: one instance, the file association, the settings, then the main window.
#include "app/editor_session.h"
#include "app/preset_answer.h"
#include "app/startup.h"
#include "app/ui/main_window.h"
#include "app/ui/qt_interaction.h"
#include "preview/fonts.h"

#include <QApplication>
#include <QMessageBox>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("Orvantis");

    orv::Folders folders = orv::Folders::fromEnvironment();
    // A second start ends silently; a lock that cannot be taken is told.
    const orv::InstanceLock lock = orv::acquireSingleInstance(folders.dataDir);
    if (lock.state == orv::InstanceLock::State::OtherInstance) return 0;
    if (lock.state == orv::InstanceLock::State::Failed) {
        QMessageBox::critical(nullptr, orv::kAppTitle, lock.message);
        return 1;
    }

    const QString home = orv::xdgDataHome();
    if (!orv::fileAssociationExists(home)) {
        try {
            orv::RegisterFileType(home, folders.programDir);
        } catch (const orv::AppError&) {
            // An association that cannot be written is not worth stopping the editor for.
        }
    }

    orv::registerHandheldFonts();

    QStringList args = QApplication::arguments();
    args.removeFirst();
    const QString commandLine = args.join(' ');

    orv::QtInteraction dialogs;
    // Drops hand their file to the next open question instead of a dialog.
    orv::PresetOpenAnswer ui(dialogs);
    orv::EditorSession session(ui, folders);
    session.readStartupSettings();
    orv::MainWindow window(session);
    dialogs.setParent(&window);
    window.start(commandLine);
    return app.exec();
}
