#pragma once
// The names a colour goes by on the command line: the element's name as the editor's Color
// menu shows it ("Today Screen Text"), a short form for scripts ("today-text"), and the
// registry value name it is stored under ("4"). The two slots without an element have only
// their value name.

#include <QString>
#include <array>

namespace orv::cli {

struct ElementName {
    const char* menuName;  // the Color menu's entry, without its leading blank
    const char* shortForm; // lower case, no blanks
};

// By element index 0 to 10.
extern const std::array<ElementName, 11> kElementNames;

// The slot a --color name stands for: an element's menu name or element-list caption (any
// case), its short form, or a value name. -1 when it is none of these.
int slotOfColourName(const QString& name);

// The element name and short form of a slot; empty for the two slots without an element.
QString menuNameOfSlot(int slot);
QString shortFormOfSlot(int slot);

} // namespace orv::cli
