// The help file answers what the program sends the user to it for: every message that
// points into help has its section, every contents link leads somewhere, and every command
// and menu entry of the main window is described.
#include "app/ui/main_window.h"
#include "support/session_fixture.h"

#include <QAction>
#include <QDirIterator>
#include <QFile>
#include <QPushButton>
#include <QRegularExpression>
#include <QTextDocument>

namespace orv::test {
namespace {

QString helpHtml()
{
    QFile f(QStringLiteral(ORV_SOURCE_DIR "/help/Orvantis.HLP"));
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

QString helpText()
{
    QTextDocument doc;
    doc.setHtml(helpHtml());
    return doc.toPlainText().simplified();
}

// The topics of "... Help option to read about the X problem" in the program's sources,
// with string literals split over lines joined first.
QStringList topicsPointedAt()
{
    QStringList topics;
    const QRegularExpression joins(QStringLiteral("\"\\s*\\n\\s*\""));
    const QRegularExpression pointer(QStringLiteral("Help option to read about the (.+?) problem"));
    for (const char* dir : {"app", "theme", "imaging", "preview", "transfer", "cli"}) {
        QDirIterator it(QStringLiteral(ORV_SOURCE_DIR "/") + dir, {"*.cpp", "*.h"}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile f(it.next());
            if (!f.open(QIODevice::ReadOnly)) continue;
            const QString source = QString::fromUtf8(f.readAll()).replace(joins, QString());
            for (auto m = pointer.globalMatch(source); m.hasNext();)
                topics << m.next().captured(1).simplified();
        }
    }
    topics.removeDuplicates();
    return topics;
}

TEST(HelpFile, EveryMessagePointingIntoHelpHasItsSection)
{
    const QString html = helpHtml();
    const QStringList topics = topicsPointedAt();
    ASSERT_FALSE(topics.isEmpty());
    for (const QString& topic : topics) {
        const QRegularExpression section("<h2 id=\"([a-z]+)\">The " + QRegularExpression::escape(topic) +
                                         " problem</h2>");
        const auto m = section.match(html);
        ASSERT_TRUE(m.hasMatch()) << topic.toStdString();
        EXPECT_TRUE(html.contains("href=\"#" + m.captured(1) + "\"")) << "not in the contents";
    }
}

TEST(HelpFile, EveryLinkLeadsToASection)
{
    const QString html = helpHtml();
    int links = 0;
    for (auto m = QRegularExpression("href=\"#([^\"]+)\"").globalMatch(html); m.hasNext(); ++links) {
        const QString id = m.next().captured(1);
        EXPECT_TRUE(html.contains("id=\"" + id + "\"")) << id.toStdString();
    }
    EXPECT_GT(links, 10);
}

class HelpCoverageTest : public SessionTest {};

// Captions as the help writes them: without the marks and padding of the menu entries.
QString plainCaption(QString caption)
{
    caption.replace("&&", "&").remove(QRegularExpression("\\s*\\(.*\\)$"));
    caption = caption.simplified();
    if (caption.startsWith("X ") || caption.startsWith("_ ")) caption = caption.mid(2);
    return caption;
}

TEST_F(HelpCoverageTest, EveryCommandAndMenuEntryIsDescribed)
{
    session->state.Skin = "NAKED-XP";
    MainWindow window(*session);
    const QString text = helpText();
    QStringList captions;
    for (const QAction* a : window.findChildren<QAction*>()) captions << a->text();
    for (const QPushButton* b : window.findChildren<QPushButton*>()) captions << b->text();
    int described = 0;
    for (const QString& c : captions) {
        const QString plain = plainCaption(c);
        if (plain.isEmpty()) continue;
        EXPECT_TRUE(text.contains(plain, Qt::CaseInsensitive)) << plain.toStdString();
        ++described;
    }
    EXPECT_GE(described, 10);
}

} // namespace
} // namespace orv::test
