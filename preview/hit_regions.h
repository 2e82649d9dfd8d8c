#pragma once
// The regions of the simulated screen that answer a click, in one table: the hit test reads
// it to map a click, the keyboard's element cursor to step through the regions in reading
// order. Areas are in pixels of the 240 x 320 handheld screen, edges included.

#include "preview/hit_test.h"

#include <QRect>
#include <vector>

namespace orv {

// When a region answers: always, or only while the screen that draws it is showing.
enum class RegionLive { Always, MessageScreen, ImportantScreen, TodayScreen };

struct HitRegion {
    QRect area;
    PreviewHit hit;
    RegionLive live;
};

// Every region, in reading order: the Start flag and the title bar bands left to right, the
// two pop-up bands, the Today text and lines top to bottom, the command bar. No two regions
// that are live together overlap, so the order never decides a click.
const std::vector<HitRegion>& hitRegions();
bool regionLive(const HitRegion& region, const Theme& theme);
// The regions that answer on the screen the flags now show, in table order.
std::vector<HitRegion> liveRegions(const Theme& theme);

} // namespace orv
