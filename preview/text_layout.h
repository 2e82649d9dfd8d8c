#pragma once
// Where the screens put their text: the Today entries and the title bar captions. The
// composers draw from this table and the legibility check measures under the same boxes, so
// the two can never disagree about where the text sits.

#include "imaging/image_buffer.h"

#include <QDateTime>
#include <QRect>
#include <QString>
#include <vector>

namespace orv {

struct ProgramState;

struct PlacedText {
    QString text;
    int left = 0;
    int top = 0;
    bool bold = false;
};

// The Today entries in screen rows, as many as the Today text setting shows ("all" shows
// every entry, "none" nothing, anything unknown the date and the owner).
std::vector<PlacedText> todayTextLayout(const ProgramState& state, QDate date);
// The same entries whatever the setting says.
std::vector<PlacedText> todayTextLayoutAll(const ProgramState& state, QDate date);

// The Today entries are drawn in Tahoma 8, the title captions in Tahoma 8 bold.
inline constexpr int kTodayTextPointSize = 8;

// "Start" and the clock over the title bar.
std::vector<PlacedText> titleTextLayout(QTime time);

// The cells of the visible characters of a placed text, in screen pixels: one box per
// character, its advance wide and the font's height tall. Blanks have no box.
std::vector<QRect> glyphBoxes(const PlacedText& text);

// The Today line rows that the Today text setting shows.
std::vector<int> todayLineRows(const QString& todayTextSetting);

} // namespace orv
