// The sample entries of the Today screen and the lines between them, in the theme's Today
// text and line colours, as many as the Today text setting asks for.
#include "app/editor_session.h"
#include "preview/text_layout.h"

namespace orv {

void EditorSession::DoText()
{
    trap("DoText", [&] {
        ImageBuffer& c = canvas.oPicBufCompose;
        c.Font.Name = "Tahoma";
        c.Font.Size = kTodayTextPointSize;
        c.ForeColor = theme.element(3);
        c.TextTransparent = true;
        c.RectWidth = c.ImageWidth();
        c.RectHeight = c.ImageHeight();
        for (const PlacedText& t : todayTextLayout(state, clock().date())) {
            c.Text = t.text;
            c.RectTop = t.top;
            c.RectLeft = t.left;
            c.Font.Bold = t.bold;
            c.DrawText(0);
        }
    });
}

void EditorSession::DoLines()
{
    trap("DoLines", [&] {
        ImageBuffer& c = canvas.oPicBufCompose;
        c.ForeColor = theme.element(4);
        c.RectLeft = 0;
        c.RectHeight = 1;
        c.RectWidth = c.ImageWidth();
        for (const int row : todayLineRows(state.TodayText)) {
            c.RectTop = row;
            c.DrawRect(0);
        }
    });
}

} // namespace orv
