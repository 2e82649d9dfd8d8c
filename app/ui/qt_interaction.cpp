#include "app/ui/qt_interaction.h"

#include "app/editor_session.h"
#include "app/ui/fit_dialog.h"
#include "app/ui/placement_dialog.h"
#include "imaging/placement_source.h"

#include <QApplication>
#include <QEventLoop>
#include <QProgressDialog>
#include <QTimer>
#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace orv {

QString qtFilterOf(const QString& filter)
{
    const QStringList parts = filter.split('|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i];
        QString patterns = parts[i + 1];
        // Most descriptions already show their patterns in brackets; Qt reads the last
        // bracket as the patterns, separated by blanks, so that bracket is rewritten rather
        // than a second one added.
        const QString shown = " (" + patterns + ")";
        if (description.endsWith(shown)) description.chop(shown.size());
        patterns.replace(';', ' ');
        out << description + " (" + patterns + ")";
    }
    return out.join(";;");
}

namespace {

constexpr int kQuietWaitMs = 250; // a wait shorter than this shows no note

// The initial name is a folder plus a wildcard or a proposed name: split it for Qt.
void splitInitial(const QString& initial, QString& dir, QString& name)
{
    const QFileInfo fi(initial);
    dir = fi.path();
    name = fi.fileName().contains('*') ? QString() : fi.fileName();
}
} // namespace

std::optional<QString> QtInteraction::openFile(const FileDialogRequest& r)
{
    QString dir, name;
    splitInitial(r.initialName, dir, name);
    QFileDialog d(parent_, r.title, dir, qtFilterOf(r.filter));
    d.setAcceptMode(QFileDialog::AcceptOpen);
    d.setFileMode(QFileDialog::ExistingFile);
    if (!name.isEmpty()) d.selectFile(name);
    if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return std::nullopt;
    return d.selectedFiles().first();
}

std::optional<QString> QtInteraction::saveFile(const FileDialogRequest& r)
{
    QString dir, name;
    splitInitial(r.initialName, dir, name);
    QFileDialog d(parent_, r.title, dir, qtFilterOf(r.filter));
    d.setAcceptMode(QFileDialog::AcceptSave);
    d.setFileMode(QFileDialog::AnyFile);
    if (!r.defaultExt.isEmpty()) d.setDefaultSuffix(r.defaultExt);
    if (!name.isEmpty()) d.selectFile(name);
    if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return std::nullopt;
    return d.selectedFiles().first();
}

std::optional<Colour> QtInteraction::chooseColour(Colour start, const QString& title)
{
    const QColor c = QColorDialog::getColor(QColor::fromRgb(toQRgb(start)), parent_, title);
    if (!c.isValid()) return std::nullopt;
    return rgbColour(c.red(), c.green(), c.blue());
}

FitChoice QtInteraction::chooseFit()
{
    FitDialog d(parent_);
    return d.ask();
}

std::optional<Placement> QtInteraction::choosePlacement(PlacementSource& picture, QSize target)
{
    if (picture.size().isEmpty() || target.isEmpty()) return std::nullopt;
    PlacementDialog d(picture, target, parent_);
    return d.ask();
}

MsgResult QtInteraction::messageBox(const QString& text, const QString& title, MsgIcon icon,
                                    MsgButtons buttons)
{
    QMessageBox box(parent_);
    box.setWindowTitle(title);
    // Texts carry names from packages and paths: never markup, never a link.
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    switch (icon) {
    case MsgIcon::Critical: box.setIcon(QMessageBox::Critical); break;
    case MsgIcon::Exclamation: box.setIcon(QMessageBox::Warning); break;
    case MsgIcon::Information: box.setIcon(QMessageBox::Information); break;
    case MsgIcon::Question: box.setIcon(QMessageBox::Question); break;
    case MsgIcon::None: break;
    }
    switch (buttons) {
    case MsgButtons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
    case MsgButtons::OkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case MsgButtons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case MsgButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    case MsgButtons::YesYesToAllNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::YesToAll | QMessageBox::No |
                               QMessageBox::Cancel);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Cancel: return MsgResult::Cancel;
    case QMessageBox::Yes: return MsgResult::Yes;
    case QMessageBox::YesToAll: return MsgResult::YesToAll;
    case QMessageBox::No: return MsgResult::No;
    default: return MsgResult::Ok;
    }
}

void QtInteraction::setBusy(bool busy)
{
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void QtInteraction::waitFor(const QString& what, std::future<void>& work)
{
    using namespace std::chrono_literals;
    if (work.wait_for(0ms) == std::future_status::ready) return;
    // The window keeps drawing, but input waits until the work is done: a click now would
    // act on a theme half loaded. A wait too short to read says nothing.
    QProgressDialog note(what, QString(), 0, 0, parent_);
    note.setWindowTitle(kAppTitle);
    note.setWindowModality(Qt::ApplicationModal);
    note.setAutoClose(false);
    note.setMinimumWidth(320); // room for the caption
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (work.wait_for(0ms) == std::future_status::ready) loop.quit();
    });
    poll.start(15);
    QTimer::singleShot(kQuietWaitMs, &note, [&note] { note.show(); });
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    note.hide();
}

} // namespace orv
