// Main: one instance (a later start hands its package over), the file association, the
// settings, then the editor as composed for shipping.
#include "app/startup.h"
#include "app/ui/editor_composition.h"
#include "preview/fonts.h"

#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("Orvantis");

    orv::Folders folders = orv::Folders::fromEnvironment();
    // A second start ends silently; a lock that cannot be taken is told.
    const orv::InstanceLock lock = orv::acquireSingleInstance(folders.dataDir);
    const QString handoverSocket = orv::handoverSocketPath(folders.dataDir);
    if (lock.state == orv::InstanceLock::State::OtherInstance) {
        // A package goes to the running editor; without one, or when that editor does not
        // answer, this start ends as it always has.
        const QStringList args = QApplication::arguments().mid(1);
        const QString package = args.join(' ');
        if (package.size() >= 5 && package.toUpper().endsWith("TSK"))
            orv::handOver(handoverSocket, QFileInfo(package).absoluteFilePath());
        return 0;
    }
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

    const std::unique_ptr<orv::ComposedEditor> editor = orv::composeEditor(folders, handoverSocket);
    editor->window->start(commandLine);
    return app.exec();
}
