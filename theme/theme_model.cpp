#include "theme/theme_model.h"

namespace orv {

const std::array<SlotInfo, kSlotCount> kSlots = {{
    {0, "Upper Left Titlebar Color", "5", 0xFF8000, Redraw::Main},
    {1, "Upper Right Titlebar Color", "8", 0xA00000, Redraw::Main},
    {2, "Titlebar Text Color", "9", 0xFFFFFF, Redraw::Main},
    {3, "Today Screen Text Color", "4", 0x000000, Redraw::Main},
    {4, "Today Screen Line Color", "6", 0x000000, Redraw::Main},
    {5, "Lower Command Bar Color", "7", 0xC0C0C0, Redraw::CommandBarThenMain},
    {6, "Navigation Tray Color", "10", 0x0000FF, Redraw::Navigation},
    {-1, "", "11", 0xC0C0C0, Redraw::None},
    {-1, "", "12", 0x808080, Redraw::None},
    {7, "Message Bar Left Color", "13", 0xA00000, Redraw::Message},
    {8, "Message Bar Right Color", "14", 0xFF8000, Redraw::Message},
    {9, "Important Message Bar Left Color", "25", 0x0000FF, Redraw::Important},
    {10, "Important Message Bar Right Color", "26", 0x4080FF, Redraw::Important},
}};

int slotOfValueName(const QString& valueName)
{
    for (size_t i = 0; i < kSlots.size(); ++i)
        if (valueName == QLatin1String(kSlots[i].valueName)) return static_cast<int>(i);
    return -1;
}

void Theme::SetDefaultColours()
{
    for (size_t i = 0; i < kSlots.size(); ++i) colours[i] = kSlots[i].defaultColour;
}

} // namespace orv
