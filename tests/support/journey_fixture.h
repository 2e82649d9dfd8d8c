#pragma once
// The editor as main() builds it, started on private folders, with the hands of a user at the
// screen: hover entries released, buttons pressed, preview clicks and drops, and the real
// modal dialogs answered as they appear. Shared by the journey suites.
#include "app/ui/editor_composition.h"
#include "app/ui/hover_menu.h"
#include "app/ui/placement_dialog.h"
#include "app/ui/preview_view.h"
#include "imaging/placement.h"
#include "support/modal_answers.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <gtest/gtest.h>
#include <ostream>

// A failed comparison of captions shows the text, not its code units.
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace orv::test {

inline const QRgb kTopLeft = qRgb(200, 30, 30);
inline const QRgb kTopRight = qRgb(20, 160, 60);
inline const QRgb kBottomLeft = qRgb(30, 40, 210);
inline const QRgb kBottomRight = qRgb(240, 230, 20);

// A photo in four flat quarters, so where a background came from shows in its colours.
inline QImage quarters(int width, int height)
{
    QImage img(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const bool right = x >= width / 2, low = y >= height / 2;
            img.setPixel(x, y, low ? (right ? kBottomRight : kBottomLeft) : (right ? kTopRight : kTopLeft));
        }
    return img;
}

inline ModalAnswers::Step chooseFile(const QString& path, QString* title = nullptr)
{
    return [path, title](QWidget* w) {
        auto* d = qobject_cast<QFileDialog*>(w);
        if (!d) {
            ADD_FAILURE() << "expected a file dialog, got " << w->metaObject()->className();
            if (auto* other = qobject_cast<QDialog*>(w)) other->reject();
            return;
        }
        if (title) *title = d->windowTitle();
        d->selectFile(path);
        static_cast<QDialog*>(d)->accept(); // the file dialog's own accept checks the choice
    };
}

inline ModalAnswers::Step chooseFit(int mode)
{
    return [mode](QWidget* w) {
        EXPECT_EQ(w->objectName(), "frmProcessImage");
        if (auto* option = w->findChild<QRadioButton*>(QString("radMode%1").arg(mode))) option->click();
        if (auto* ok = w->findChild<QPushButton*>("Command1")) ok->click();
    };
}

inline ModalAnswers::Step placeFrame(Placement at, QSize* askedFor = nullptr)
{
    return [at, askedFor](QWidget* w) {
        auto* d = qobject_cast<PlacementDialog*>(w);
        if (!d) {
            ADD_FAILURE() << "expected the placement dialog, got " << w->metaObject()->className();
            if (auto* other = qobject_cast<QDialog*>(w)) other->reject();
            return;
        }
        d->setPlacement(at);
        if (askedFor) *askedFor = d->thumbnail().size();
        d->findChild<QPushButton*>("btnOK")->click();
    };
}

inline ModalAnswers::Step chooseColour(QColor colour, QString* title = nullptr)
{
    return [colour, title](QWidget* w) {
        auto* d = qobject_cast<QColorDialog*>(w);
        if (!d) {
            ADD_FAILURE() << "expected the colour dialog, got " << w->metaObject()->className();
            if (auto* other = qobject_cast<QDialog*>(w)) other->reject();
            return;
        }
        if (title) *title = d->windowTitle();
        d->setCurrentColor(colour);
        d->accept();
    };
}

// A message box read and closed with its first button.
inline ModalAnswers::Step readBox(QString* text, QString* title = nullptr)
{
    return [text, title](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        if (!box) {
            ADD_FAILURE() << "expected a message box, got " << w->metaObject()->className();
            if (auto* other = qobject_cast<QDialog*>(w)) other->reject();
            return;
        }
        if (text) *text = box->text();
        if (title) *title = box->windowTitle();
        box->buttons().first()->click();
    };
}

class JourneyTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home.isValid());
        startEditor();
        photo = home.path() + "/photo.png";
        ASSERT_TRUE(quarters(800, 600).save(photo));
    }
    void TearDown() override { editor.reset(); }

    // The editor as main() starts it, on this test's folders (a second start finds what the
    // first one left there).
    void startEditor()
    {
        Folders f;
        f.programDir = QString(ORV_BINARY_DIR);
        f.dataDir = home.path() + "/data";
        editor.reset();
        editor = composeEditor(f);
        editor->session->clock = [] { return QDateTime(QDate(2026, 3, 14), QTime(9, 5)); };
        editor->window->start(QString());
    }
    EditorSession& session() { return *editor->session; }
    template <class W> W* child(const QString& name)
    {
        W* w = editor->window->findChild<W*>(name);
        EXPECT_NE(w, nullptr) << name.toStdString();
        return w;
    }
    // A hover entry acts when the button is released on it.
    void release(const QString& entry) { QTest::mouseClick(child<HoverLabel>(entry), Qt::LeftButton); }
    void press(int button) { child<QPushButton>(QString("btnButtons%1").arg(button))->click(); }
    void clickScreen(QPoint pixel)
    {
        auto* view = child<PreviewView>("oPicBuf");
        QTest::mouseClick(view, Qt::LeftButton, {},
                          QPoint(PreviewView::kBorder, PreviewView::kBorder) + pixel * view->scale());
    }
    void drop(QWidget* on, const QString& path)
    {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path)});
        const QPoint at = on->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(on, &enter);
        QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(on, &dropped);
    }
    QImage today() { return session().canvas.oPicBufToday.image().convertToFormat(QImage::Format_RGB32); }
    // The screen the preview shows, at the handheld's own size.
    QImage shown() { return child<PreviewView>("oPicBuf")->screen().convertToFormat(QImage::Format_RGB32); }
    static bool allOf(const QImage& img, QRgb colour)
    {
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if (img.pixel(x, y) != colour) return false;
        return true;
    }

    QTemporaryDir home;
    std::unique_ptr<ComposedEditor> editor;
    QString photo;
    ModalAnswers answers;
};

} // namespace orv::test
