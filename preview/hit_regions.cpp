// The hit regions of the simulated screen. Columns 28, 56, 120, 140 and 160 of the title bar
// belong to no region; the Today text starts at column 31 so the line ends stay clickable
// only as lines.
#include "preview/hit_regions.h"

namespace orv {

namespace {

// Edges as the screen's own columns and rows, both included.
QRect span(int c0, int c1, int r0, int r1) { return QRect(QPoint(c0, r0), QPoint(c1, r1)); }

HitRegion element(QRect area, int index, RegionLive live = RegionLive::Always)
{
    return {area, PreviewHit{HitKind::Element, index}, live};
}

std::vector<HitRegion> buildTable()
{
    using L = RegionLive;
    const int kTitleTop = 0, kTitleBottom = 25;
    auto title = [&](int c0, int c1) { return span(c0, c1, kTitleTop, kTitleBottom); };
    auto textBand = [](int r0, int r1, int lastColumn) { return span(31, lastColumn, r0, r1); };
    auto line = [](int r0) { return span(0, 239, r0, r0 + 2); };
    return {
        {title(0, 27), {HitKind::StartFlag}, L::Always},
        element(title(29, 55), 2),  // "Start"
        element(title(57, 119), 0),
        element(title(121, 139), 1),
        {title(141, 159), {HitKind::ImportantToggle}, L::Always}, // battery icon
        {title(161, 186), {HitKind::MessageToggle}, L::Always},   // speaker icon
        element(title(187, 213), 2), // clock
        element(title(214, 239), 1),
        element(span(115, 149, 39, 81), 7, L::MessageScreen),
        element(span(150, 184, 39, 81), 8, L::MessageScreen),
        element(span(11, 108, 41, 59), 9, L::ImportantScreen),
        element(span(109, 227, 41, 59), 10, L::ImportantScreen),
        element(textBand(31, 39, 239), 3, L::TodayScreen),
        element(line(46), 4, L::TodayScreen),
        element(textBand(51, 69, 129), 3, L::TodayScreen),
        element(line(78), 4, L::TodayScreen),
        element(textBand(81, 129, 189), 3, L::TodayScreen),
        element(line(135), 4, L::TodayScreen),
        element(textBand(141, 149, 209), 3, L::TodayScreen),
        element(line(154), 4, L::TodayScreen),
        element(textBand(161, 189, 119), 3, L::TodayScreen),
        element(span(0, 239, 294, 319), 5), // command bar
    };
}

} // namespace

const std::vector<HitRegion>& hitRegions()
{
    static const std::vector<HitRegion> table = buildTable();
    return table;
}

bool regionLive(const HitRegion& region, const Theme& theme)
{
    switch (region.live) {
    case RegionLive::Always: return true;
    case RegionLive::MessageScreen: return theme.messageScreen;
    case RegionLive::ImportantScreen: return theme.importantScreen;
    case RegionLive::TodayScreen: return !theme.menuEditing && !theme.anyScreenFlag();
    }
    return false;
}

std::vector<HitRegion> liveRegions(const Theme& theme)
{
    std::vector<HitRegion> out;
    for (const HitRegion& r : hitRegions())
        if (regionLive(r, theme)) out.push_back(r);
    return out;
}

} // namespace orv
