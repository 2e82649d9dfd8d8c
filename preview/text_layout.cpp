// The text positions of the Today screen and the title bar, in one table.
#include "preview/text_layout.h"

#include "app/program_state.h"

#include <QFontMetrics>
#include <QHash>
#include <QLocale>

namespace orv {

namespace {

// How much of the sample text the Today screen shows. Unknown settings show the date and
// the owner only.
enum class TodayAmount { None, DateAndOwner, Appointments, All };

TodayAmount amountOf(const QString& setting)
{
    if (setting == "all") return TodayAmount::All;
    if (setting == "notm") return TodayAmount::Appointments;
    if (setting == "none") return TodayAmount::None;
    return TodayAmount::DateAndOwner;
}

constexpr int kTextLeft = 31;
constexpr int kDateTop = 30;
constexpr int kTitleTop = 7;

std::vector<PlacedText> layoutUpTo(TodayAmount amount, const ProgramState& state, QDate date)
{
    std::vector<PlacedText> out;
    if (amount == TodayAmount::None) return out;
    int top = kDateTop;
    out.push_back({QLocale::system().toString(date, QLocale::LongFormat), kTextLeft, top, true});

    struct Entry {
        QString text;
        int step;
        bool bold;
        TodayAmount from; // the least amount that shows it
    };
    const Entry entries[] = {
        {"Owner: " + state.Name1, 19, true, TodayAmount::DateAndOwner},
        {"(222) 555-1234", 13, false, TodayAmount::DateAndOwner},
        {"Meeting with " + state.Name2, 19, true, TodayAmount::Appointments},
        {"10:00-11:00a (333) 555-1234", 13, false, TodayAmount::Appointments},
        {"Meeting with " + state.Name3, 13, true, TodayAmount::Appointments},
        {"1:00-2:00p (444) 555-4321", 13, false, TodayAmount::Appointments},
        {"Activesync: 6 Unread Messages", 19, true, TodayAmount::All},
        {"3 Active Tasks", 19, true, TodayAmount::All},
        {"1 High Priority", 13, true, TodayAmount::All},
    };
    for (const Entry& e : entries) {
        if (amount < e.from) break;
        top += e.step;
        out.push_back({e.text, kTextLeft, top, e.bold});
    }
    return out;
}

} // namespace

std::vector<PlacedText> todayTextLayout(const ProgramState& state, QDate date)
{
    return layoutUpTo(amountOf(state.TodayText), state, date);
}

std::vector<PlacedText> todayTextLayoutAll(const ProgramState& state, QDate date)
{
    return layoutUpTo(TodayAmount::All, state, date);
}

std::vector<PlacedText> titleTextLayout(QTime time)
{
    return {{QStringLiteral("Start"), 31, kTitleTop, true},
            {time.toString(QStringLiteral("hh:mm")), 185, kTitleTop, true}};
}

std::vector<QRect> glyphBoxes(const PlacedText& text)
{
    // The cells relative to the text's top-left, worked out once per string: font metrics
    // cost far more than the check that asks for them after every redraw.
    static QHash<QString, std::vector<QRect>> cache;
    const QString key = QChar(text.bold ? 'b' : 'n') + text.text;
    auto it = cache.constFind(key);
    if (it == cache.constEnd()) {
        FontSpec font;
        font.Size = kTodayTextPointSize;
        font.Bold = text.bold;
        const QFontMetrics fm(drawingFont(font));
        std::vector<QRect> cells;
        int x = 0;
        for (const QChar c : text.text) {
            const int advance = fm.horizontalAdvance(c);
            if (!c.isSpace() && advance > 0) cells.emplace_back(x, 0, advance, fm.height());
            x += advance;
        }
        if (cache.size() > 256) cache.clear(); // the screens use a few dozen strings
        it = cache.insert(key, cells);
    }
    std::vector<QRect> boxes = *it;
    for (QRect& b : boxes) b.translate(text.left, text.top);
    return boxes;
}

std::vector<int> todayLineRows(const QString& todayTextSetting)
{
    const TodayAmount amount = amountOf(todayTextSetting);
    const struct {
        int row;
        TodayAmount from;
    } lines[] = {{47, TodayAmount::DateAndOwner},
                 {79, TodayAmount::Appointments},
                 {136, TodayAmount::All},
                 {155, TodayAmount::All}};
    std::vector<int> rows;
    if (amount == TodayAmount::None) return rows;
    for (const auto& line : lines) {
        if (amount < line.from) break;
        rows.push_back(line.row);
    }
    return rows;
}

} // namespace orv
