// The help viewer shows the program's own help and nothing else: no link leaves it, nothing
// is loaded for it, and a file too large or nested too deep for the layout shows as text.
#include "app/ui/help_viewer.h"

#include <QFile>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextDocument>
#include <gtest/gtest.h>

namespace orv::test {
namespace {

class HelpViewerTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString helpWith(const QByteArray& html)
    {
        const QString path = dir.path() + "/Orvantis.HLP";
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(html);
        return path;
    }
    QTemporaryDir dir;
};

TEST_F(HelpViewerTest, TheShippedHelpShowsAsHtml)
{
    HelpViewer viewer(QStringLiteral(ORV_SOURCE_DIR "/help/Orvantis.HLP"));
    EXPECT_TRUE(viewer.showsHtml());
    EXPECT_TRUE(viewer.toPlainText().contains("Choosing colours"));
    EXPECT_FALSE(viewer.toPlainText().contains("<li>"));
}

TEST_F(HelpViewerTest, NestingBeyondTheLayoutsReachShowsAsPlainText)
{
    QByteArray nested;
    for (int i = 0; i < 5000; ++i) nested += "<table><tr><td>";
    nested += "deep";
    for (int i = 0; i < 5000; ++i) nested += "</td></tr></table>";
    HelpViewer viewer(helpWith("<html><body>" + nested + "</body></html>"));
    EXPECT_FALSE(viewer.showsHtml());
    EXPECT_TRUE(viewer.toPlainText().startsWith("<html><body><table>"));

    // Nesting as the help uses it, elements closed or not, is well within reach.
    EXPECT_EQ(HelpViewer::nestingDepth("<ul><li><p>a<li>b</ul><br><img src=x/>"), 1);
    EXPECT_EQ(HelpViewer::nestingDepth("<div><div><table><tr><td>x</td></tr></table></div></div>"), 3);
    EXPECT_EQ(HelpViewer::nestingDepth("<!-- <div><div> --><p>"), 0);
}

TEST_F(HelpViewerTest, AFileBeyondTheCapShowsItsStartAsPlainText)
{
    QByteArray big = "<html><body><p>";
    big += QByteArray(HelpViewer::kMaxHelpBytes, 'w');
    HelpViewer viewer(helpWith(big));
    EXPECT_FALSE(viewer.showsHtml());
    EXPECT_EQ(viewer.toPlainText().size(), HelpViewer::kMaxHelpBytes);
}

TEST_F(HelpViewerTest, NoLinkLeavesTheHelpAndNothingIsLoadedForIt)
{
    QFile::copy("/etc/hostname", dir.path() + "/other.html");
    HelpViewer viewer(helpWith("<html><body><p>Top</p>"
                               "<a href=\"file:///etc/passwd\">passwd</a> "
                               "<a href=\"other.html\">other</a> "
                               "<a href=\"https://example.com/\">web</a>"
                               "<img src=\"/dev/zero\"><img src=\"file:///dev/zero\">"
                               "<h2 id=\"end\">End</h2></body></html>"));
    ASSERT_TRUE(viewer.showsHtml());
    const QString shown = viewer.toPlainText();
    for (const char* link : {"file:///etc/passwd", "other.html", "https://example.com/"}) {
        emit viewer.anchorClicked(QUrl(link));
        EXPECT_EQ(viewer.toPlainText(), shown) << link;
        EXPECT_TRUE(viewer.source().isEmpty()) << link;
    }
    EXPECT_FALSE(viewer.loadResource(QTextDocument::ImageResource, QUrl("/dev/zero")).isValid());
    EXPECT_FALSE(viewer.loadResource(QTextDocument::HtmlResource,
                                     QUrl::fromLocalFile(dir.path() + "/other.html")).isValid());
}

} // namespace
} // namespace orv::test
