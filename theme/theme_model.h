#pragma once
// The one theme the editor holds: name, thirteen colour slots and the screen flags.
// The two backgrounds live in the canvas (they are image buffers like every picture).

#include "theme/colour.h"

#include <QString>
#include <array>

namespace orv {

inline constexpr int kElementCount = 11;
inline constexpr int kSlotCount = 13;

// Which screen a colour change redraws.
enum class Redraw { None, Main, CommandBarThenMain, Navigation, Message, Important };

struct SlotInfo {
    int element;           // -1 for the two slots without an element
    const char* caption;   // caption in the element list
    const char* valueName; // registry value name in the theme data file
    Colour defaultColour;
    Redraw redraw;
};

// In storage order: the two element-less slots sit between elements 6 and 7.
extern const std::array<SlotInfo, kSlotCount> kSlots;

// Slot index of an element 0..10.
constexpr int slotOfElement(int element) { return element <= 6 ? element : element + 2; }
// Slot index of a registry value name, or -1.
int slotOfValueName(const QString& valueName);

struct Theme {
    QString name;
    std::array<Colour, kSlotCount> colours{};
    bool menuFollowsMain = true;
    bool menuEditing = false;
    bool messageScreen = false;
    bool importantScreen = false;
    bool navigationScreen = false;

    Theme() { SetDefaultColours(); }

    Colour element(int i) const { return colours[static_cast<size_t>(slotOfElement(i))]; }
    void setElement(int i, Colour c) { colours[static_cast<size_t>(slotOfElement(i))] = c; }

    void SetDefaultColours();
    void clearScreenFlags() { messageScreen = importantScreen = navigationScreen = false; }
    bool anyScreenFlag() const { return messageScreen || importantScreen || navigationScreen; }
};

} // namespace orv
