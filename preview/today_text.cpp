// The sample entries of the Today screen and the lines between them, in the theme's Today
// text and line colours, as many as the Today text setting asks for.
#include "app/editor_session.h"

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

} // namespace

void EditorSession::DoText()
{
    trap("DoText", [&] {
        const TodayAmount amount = amountOf(state.TodayText);
        if (amount == TodayAmount::None) return;
        ImageBuffer& c = canvas.oPicBufCompose;

        c.Font.Bold = true;
        c.Font.Name = "Tahoma";
        c.Font.Size = 8;
        c.Text = QLocale::system().toString(clock().date(), QLocale::LongFormat);
        c.ForeColor = theme.element(3);
        c.TextTransparent = true;
        c.RectTop = 30;
        c.RectLeft = 31;
        c.RectWidth = c.ImageWidth();
        c.RectHeight = c.ImageHeight();
        c.DrawText(0);

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
            c.Text = e.text;
            c.RectTop = c.RectTop + e.step;
            c.Font.Bold = e.bold;
            c.DrawText(0);
        }
    });
}

void EditorSession::DoLines()
{
    trap("DoLines", [&] {
        const TodayAmount amount = amountOf(state.TodayText);
        if (amount == TodayAmount::None) return;
        ImageBuffer& c = canvas.oPicBufCompose;
        c.ForeColor = theme.element(4);
        c.RectLeft = 0;
        c.RectHeight = 1;
        c.RectWidth = c.ImageWidth();
        const struct {
            int row;
            TodayAmount from;
        } lines[] = {{47, TodayAmount::DateAndOwner},
                     {79, TodayAmount::Appointments},
                     {136, TodayAmount::All},
                     {155, TodayAmount::All}};
        for (const auto& line : lines) {
            if (amount < line.from) break;
            c.RectTop = line.row;
            c.DrawRect(0);
        }
    });
}

} // namespace orv
