// The theme data file: the built-in template against its documented layout, the writer,
// the two readers and the session routine that writes "zephrin1.000".
#include "theme/theme_data_file.h"

#include "support/session_fixture.h"
#include "theme/theme_model.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace orv {
namespace {

QByteArray builtinTemplate()
{
    QFile f(QStringLiteral(":/template/theme-template.000"));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return f.readAll();
}

std::uint32_t le(const QByteArray& b, int offset, int width)
{
    std::uint32_t v = 0;
    for (int i = width - 1; i >= 0; --i) v = (v << 8) | static_cast<std::uint8_t>(b[offset + i]);
    return v;
}

std::array<Colour, 13> defaultColours() { return Theme().colours; }

// Reads the template while marking every byte it checks, so that a byte nobody looked at
// shows up as a failure.
class LayoutChecker {
public:
    explicit LayoutChecker(QByteArray b) : b_(std::move(b)), seen_(static_cast<size_t>(b_.size()), false) {}

    void num(int offset, int width, std::uint32_t expected)
    {
        ASSERT_LE(offset + width, b_.size());
        EXPECT_EQ(le(b_, offset, width), expected) << "field at " << offset;
        mark(offset, width);
    }
    // Text and its terminating zero.
    void text(int offset, const char* s)
    {
        const int n = static_cast<int>(std::strlen(s)) + 1;
        ASSERT_LE(offset + n, b_.size());
        EXPECT_EQ(b_.mid(offset, n), QByteArray(s, n)) << "text at " << offset;
        mark(offset, n);
    }
    void bytes(int offset, std::vector<int> values)
    {
        for (size_t i = 0; i < values.size(); ++i) num(offset + static_cast<int>(i), 1, static_cast<std::uint32_t>(values[i]));
    }
    std::vector<int> unchecked() const
    {
        std::vector<int> out;
        for (size_t i = 0; i < seen_.size(); ++i)
            if (!seen_[i]) out.push_back(static_cast<int>(i));
        return out;
    }

private:
    void mark(int offset, int width)
    {
        for (int i = offset; i < offset + width; ++i) seen_[static_cast<size_t>(i)] = true;
    }
    QByteArray b_;
    std::vector<bool> seen_;
};

TEST(ThemeTemplate, EveryByteMatchesTheDocumentedLayout)
{
    const QByteArray t = builtinTemplate();
    ASSERT_EQ(t.size(), kThemeTemplateSize);
    LayoutChecker c(t);

    c.bytes(0, {'M', 'S', 'C', 'E'});
    const std::vector<std::pair<int, std::uint32_t>> header32 = {
        {4, 0},   {8, 521}, {12, 0},  {16, 1},  {20, 2577}, {24, 3},   {28, 0},
        {32, 100}, {36, 0}, {40, 0},  {44, 0},  {60, 123},  {64, 180}, {68, 196},
        {72, 245}, {76, 261}, {80, 521}};
    for (const auto& [off, v] : header32) c.num(off, 4, v);
    const std::vector<std::pair<int, std::uint32_t>> header16 = {
        {48, 5}, {50, 2}, {52, 2}, {54, 1}, {56, 14}, {58, 0}, {84, 100}, {86, 2},
        {88, 102}, {90, 8}, {92, 110}, {94, 13}, {96, 0}, {98, 0}};
    for (const auto& [off, v] : header16) c.num(off, 2, v);

    c.text(100, "a");
    c.text(102, "Windows");
    c.text(110, "HPC");
    c.text(114, "JUPITER");
    c.bytes(122, {0});

    struct Str { int offset; int id; const char* text; };
    for (const Str& s : {Str{123, 1, "%CE2%"}, Str{133, 2, "%CE2%"}, Str{143, 3, "Software"},
                         Str{156, 4, "Microsoft"}, Str{170, 5, "Color"}}) {
        c.num(s.offset, 2, static_cast<std::uint32_t>(s.id));
        c.num(s.offset + 2, 2, static_cast<std::uint32_t>(std::strlen(s.text) + 1));
        c.text(s.offset + 4, s.text);
    }

    // Directories 2 and 1, each the list (string id, 0).
    c.num(180, 2, 2); c.num(182, 2, 4); c.num(184, 2, 2); c.num(186, 2, 0);
    c.num(188, 2, 1); c.num(190, 2, 4); c.num(192, 2, 1); c.num(194, 2, 0);

    struct File { int offset; int id; const char* name; };
    for (const File& f : {File{196, 1, "tdywater.gif"}, File{221, 2, "stwater.gif"}}) {
        c.num(f.offset, 2, static_cast<std::uint32_t>(f.id));
        c.num(f.offset + 2, 2, 2);
        c.num(f.offset + 4, 2, static_cast<std::uint32_t>(f.id));
        c.num(f.offset + 6, 4, 0x40000000);
        c.num(f.offset + 10, 2, static_cast<std::uint32_t>(std::strlen(f.name) + 1));
        c.text(f.offset + 12, f.name);
    }

    // HKEY_LOCAL_MACHINE\Software\Microsoft\Color
    for (const auto& [off, v] : std::vector<std::pair<int, std::uint32_t>>{
             {245, 1}, {247, 3}, {249, 0}, {251, 8}, {253, 3}, {255, 4}, {257, 5}, {259, 0}})
        c.num(off, 2, v);

    struct Value { int offset; int id; int length; const char* name; int valueAt; std::vector<int> bytes; };
    const std::vector<Value> values = {
        {261, 1, 6, "5", 275, {0x00, 0x80, 0xFF, 0x00}},
        {279, 2, 6, "8", 293, {0x00, 0x00, 0xA0, 0x00}},
        {297, 3, 6, "9", 311, {0xFF, 0xFF, 0xFF, 0x00}},
        {315, 4, 6, "4", 329, {0x00, 0x00, 0x00, 0x00}},
        {333, 5, 6, "6", 347, {0x00, 0x00, 0x00, 0x00}},
        {351, 6, 6, "7", 365, {0xC0, 0xC0, 0xC0, 0x00}},
        {369, 7, 7, "10", 384, {0xFF, 0x00, 0x00, 0x00}},
        {388, 8, 7, "11", 403, {0xC0, 0xC0, 0xC0, 0x00}},
        {407, 9, 7, "12", 422, {0x80, 0x80, 0x80, 0x00}},
        {426, 10, 7, "13", 441, {0x00, 0x00, 0xA0, 0x00}},
        {445, 11, 7, "14", 460, {0x00, 0x80, 0xFF, 0x00}},
        {464, 12, 7, "25", 479, {0xFF, 0x00, 0x00, 0x00}},
        {483, 13, 7, "26", 498, {0xFF, 0x80, 0x40, 0x00}},
        {502, 14, 7, "42", 517, {0x6D, 0x73, 0x66, 0x74}},
    };
    for (const Value& v : values) {
        c.num(v.offset, 2, static_cast<std::uint32_t>(v.id));
        c.num(v.offset + 2, 2, 1);
        c.num(v.offset + 4, 2, 0);
        c.num(v.offset + 6, 4, 1);
        c.num(v.offset + 10, 2, static_cast<std::uint32_t>(v.length));
        c.text(v.offset + 12, v.name);
        c.bytes(v.valueAt, v.bytes);
    }
    c.bytes(521, {0, 0, 0});

    EXPECT_TRUE(c.unchecked().empty()) << "first unchecked byte: " << c.unchecked().front();
}

TEST(ThemeDataFile, OceanWithDefaultColoursMovesEveryHeaderFieldByFour)
{
    const QByteArray t = builtinTemplate();
    const QByteArray f = buildThemeDataFile(t, QStringLiteral("Ocean"), defaultColours());
    ASSERT_EQ(f.size(), 525);
    EXPECT_EQ(f.mid(100, 6), QByteArray("Ocean\0", 6));
    const std::vector<std::tuple<int, int, std::uint32_t>> fields = {
        {8, 4, 525}, {60, 4, 127}, {64, 4, 184}, {68, 4, 200}, {72, 4, 249},
        {76, 4, 265}, {80, 4, 525}, {86, 2, 6},  {88, 2, 106}, {92, 2, 114}};
    for (const auto& [off, w, v] : fields) EXPECT_EQ(le(f, off, w), v) << "offset " << off;
    // Every other header byte is the template's, and the body is the template's from 102.
    EXPECT_EQ(f.mid(106), t.mid(102, 521 - 102));
    QByteArray header = f.left(100), templHeader = t.left(100);
    for (const auto& [off, w, v] : fields) {
        header.replace(off, w, QByteArray(w, 0));
        templHeader.replace(off, w, QByteArray(w, 0));
    }
    EXPECT_EQ(header, templHeader);
}

TEST(ThemeDataFile, ColoursGoToTheirValueBytesInRedGreenBlueOrder)
{
    auto colours = defaultColours();
    colours[0] = 0x0000FF; // element 0 pure red
    colours[12] = rgbColour(0x12, 0x34, 0x56);
    const QByteArray f = buildThemeDataFile(builtinTemplate(), QStringLiteral("Ocean"), colours);
    EXPECT_EQ(f.mid(279, 4), QByteArray("\xFF\x00\x00\x00", 4));
    EXPECT_EQ(f.mid(498 + 4, 4), QByteArray("\x12\x34\x56\x00", 4));
    // The "42" value is no colour and stays as the template has it.
    EXPECT_EQ(f.mid(517 + 4, 4), QByteArray("msft"));
}

TEST(ThemeDataFile, TwelveCharacterNameCarriesIntoTheSecondByteOfAnOffset)
{
    const QByteArray f = buildThemeDataFile(builtinTemplate(), QStringLiteral("Twelve chars"), defaultColours());
    EXPECT_EQ(f.size(), 532);
    EXPECT_EQ(f.mid(72, 4), QByteArray("\x00\x01\x00\x00", 4));
}

TEST(ThemeDataFile, WritingLeavesTheSharedTemplateUnchanged)
{
    const QByteArray t = builtinTemplate();
    QByteArray shared = t;
    auto colours = defaultColours();
    colours.fill(0x010203);
    buildThemeDataFile(shared, QStringLiteral("Name"), colours);
    EXPECT_EQ(shared, t);
}

TEST(ThemeDataFile, NameTooLongForTheHeaderIsRefused)
{
    const QByteArray t = builtinTemplate();
    const QString longest(maxThemeNameLength(), QLatin1Char('n'));
    const QByteArray f = buildThemeDataFile(t, longest, defaultColours());
    EXPECT_EQ(le(f, 92, 2), 0xFFFFu); // the platforms list offset just fits
    EXPECT_EQ(readThemeName(f + QByteArray(1, 0)), longest);
    try {
        buildThemeDataFile(t, longest + QLatin1Char('n'), defaultColours());
        FAIL() << "a name that wraps the 16-bit offsets was accepted";
    } catch (const AppError& e) {
        EXPECT_EQ(e.description(), QStringLiteral("The theme name is too long."));
    }
}

TEST(ThemeDataFile, DamagedTemplateIsRefused)
{
    EXPECT_THROW(buildThemeDataFile(builtinTemplate().left(400), QStringLiteral("x"), defaultColours()), AppError);
    QByteArray noAnchor = builtinTemplate();
    noAnchor.replace("%CE2%", "xxxxx");
    EXPECT_THROW(buildThemeDataFile(noAnchor, QStringLiteral("x"), defaultColours()), AppError);
}

// --- readers ------------------------------------------------------------------------------

std::array<Colour, 13> distinctColours()
{
    std::array<Colour, 13> c{};
    for (int i = 0; i < 13; ++i) c[static_cast<size_t>(i)] = rgbColour(10 + i, 100 + 3 * i, 250 - 7 * i);
    return c;
}

// The file as theme loading holds it: the bytes and one extra zero.
QByteArray loaded(const QByteArray& file) { return file + QByteArray(1, 0); }

TEST(ThemeDataReaders, NameAndThirteenColoursSurviveARoundTrip)
{
    const auto colours = distinctColours();
    const QByteArray data = loaded(buildThemeDataFile(builtinTemplate(), QStringLiteral("Deep Ocean 7"), colours));
    EXPECT_EQ(readThemeName(data), QStringLiteral("Deep Ocean 7"));
    std::array<Colour, 13> read{};
    read.fill(-1);
    readThemeColours(data, read);
    EXPECT_EQ(read, colours);
}

TEST(ThemeDataReaders, ValuesInReverseOrderReadTheSame)
{
    const auto colours = distinctColours();
    const QByteArray f = buildThemeDataFile(builtinTemplate(), QStringLiteral("Rev"), colours);
    // The value table starts at 260 + L and its fourteen entries run to the end.
    const int start = 260 + 3;
    std::vector<QByteArray> entries;
    for (int off = start; off < f.size();) {
        const int len = static_cast<int>(le(f, off + 10, 2));
        entries.push_back(f.mid(off, 12 + len));
        off += 12 + len;
    }
    ASSERT_EQ(entries.size(), 14u);
    QByteArray reversed = f.left(start);
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) reversed += *it;
    ASSERT_EQ(reversed.size(), f.size());
    ASSERT_NE(reversed, f);

    std::array<Colour, 13> read{};
    readThemeColours(loaded(reversed), read);
    EXPECT_EQ(read, colours);
}

TEST(ThemeDataReaders, NoAnchorChangesNoColour)
{
    QByteArray f = buildThemeDataFile(builtinTemplate(), QStringLiteral("x"), distinctColours());
    f.replace("%CE", "#ce");
    auto colours = defaultColours();
    readThemeColours(loaded(f), colours);
    EXPECT_EQ(colours, defaultColours());
}

TEST(ThemeDataReaders, LaterMatchOfTheSameNameWins)
{
    QByteArray f = buildThemeDataFile(builtinTemplate(), QStringLiteral("x"), distinctColours());
    // One more entry named "5" after the table.
    f += QByteArray("\x0F\x00\x01\x00\x00\x00\x01\x00\x00\x00\x06\x00" "5\x00" "\x11\x22\x33\x00", 18);
    std::array<Colour, 13> read{};
    readThemeColours(loaded(f), read);
    EXPECT_EQ(read[0], rgbColour(0x11, 0x22, 0x33));
    EXPECT_EQ(read[1], distinctColours()[1]);
}

TEST(ThemeDataReaders, ValueBytesPastTheEndAreNotRead)
{
    const QByteArray f = buildThemeDataFile(builtinTemplate(), QStringLiteral("x"), distinctColours());
    // Cut inside the value of "26" (value bytes at 498 for L = 1): its red byte remains but
    // its green and blue are gone, so the slot keeps its colour.
    const QByteArray cut = f.left(498 + 2);
    std::array<Colour, 13> read{};
    read.fill(-1);
    readThemeColours(cut, read);
    EXPECT_EQ(read[12], -1);
    EXPECT_EQ(read[11], distinctColours()[11]);
}

TEST(ThemeDataReaders, ShortOrUnterminatedDataGivesWhatIsThere)
{
    EXPECT_EQ(readThemeName(QByteArray()), QString());
    EXPECT_EQ(readThemeName(QByteArray(100, 'x')), QString());
    QByteArray shortFile(100, 0);
    shortFile += "Sea";
    EXPECT_EQ(readThemeName(shortFile), QStringLiteral("Sea"));
    std::array<Colour, 13> read = defaultColours();
    readThemeColours(QByteArray("%CE2%", 5), read);
    EXPECT_EQ(read, defaultColours());
}

// --- Save000Data ---------------------------------------------------------------------------

class Save000DataTest : public test::SessionTest {
protected:
    void SetUp() override
    {
        SessionTest::SetUp();
        session->folders().createWorkingDirectories();
        session->state.themeTemplate = builtinTemplate();
        scratch = QDir(session->folders().scratch());
    }
    QByteArray written() const
    {
        QFile f(scratch.filePath(QStringLiteral("zephrin1.000")));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static void touch(const QString& path, const QByteArray& bytes = "old")
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QDir scratch;
};

TEST_F(Save000DataTest, WritesTheTrimmedNameAndColoursAndDeletesOtherDataFiles)
{
    touch(scratch.filePath(QStringLiteral("old.000")));
    touch(scratch.filePath(QStringLiteral("keep.001")));
    session->theme.name = QStringLiteral("  Ocean ");
    session->theme.colours = distinctColours();
    session->Save000Data();

    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(written(), buildThemeDataFile(builtinTemplate(), QStringLiteral("Ocean"), distinctColours()));
    EXPECT_FALSE(scratch.exists(QStringLiteral("old.000")));
    EXPECT_TRUE(scratch.exists(QStringLiteral("keep.001")));
}

TEST_F(Save000DataTest, NameTooLongShowsTheBoxWithoutABlankAndWritesNothing)
{
    touch(scratch.filePath(QStringLiteral("zephrin1.000")), "previous");
    session->theme.name = QString(maxThemeNameLength() + 1, QLatin1Char('n'));
    session->Save000Data();

    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, QStringLiteral("Error: The theme name is too long.(Save000Data)"));
    EXPECT_EQ(ui.boxes[0].title, QStringLiteral("Orvantis by Zephrin"));
    EXPECT_EQ(ui.boxes[0].icon, MsgIcon::Critical);
    EXPECT_EQ(written(), QByteArray("previous"));
}

TEST_F(Save000DataTest, MissingScratchDirectoryShowsTheBox)
{
    ASSERT_TRUE(scratch.removeRecursively());
    session->theme.name = QStringLiteral("Ocean");
    session->Save000Data();
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, QStringLiteral("Error: Path not found(Save000Data)"));
}

} // namespace
} // namespace orv
