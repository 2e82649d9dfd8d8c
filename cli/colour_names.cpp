#include "cli/colour_names.h"

#include "theme/theme_model.h"

namespace orv::cli {

const std::array<ElementName, 11> kElementNames = {{
    {"Upper Left Titlebar", "titlebar-left"},
    {"Upper Right Titlebar", "titlebar-right"},
    {"Titlebar Text", "titlebar-text"},
    {"Today Screen Text", "today-text"},
    {"Today Screen Lines", "today-lines"},
    {"Command Bar", "command-bar"},
    {"Navigation Tray", "navigation-tray"},
    {"Message Bar Left", "message-left"},
    {"Message Bar Right", "message-right"},
    {"Important Message Bar Left", "important-left"},
    {"Important Message Bar Right", "important-right"},
}};

int slotOfColourName(const QString& name)
{
    const QString n = name.trimmed();
    for (size_t e = 0; e < kElementNames.size(); ++e) {
        const int element = static_cast<int>(e);
        const int slot = slotOfElement(element);
        if (n.compare(QLatin1String(kElementNames[e].menuName), Qt::CaseInsensitive) == 0 ||
            n.compare(QLatin1String(kElementNames[e].shortForm), Qt::CaseInsensitive) == 0 ||
            n.compare(QLatin1String(kSlots[static_cast<size_t>(slot)].caption), Qt::CaseInsensitive) == 0)
            return slot;
    }
    return slotOfValueName(n);
}

QString menuNameOfSlot(int slot)
{
    const int element = kSlots[static_cast<size_t>(slot)].element;
    return element < 0 ? QString() : QString::fromLatin1(kElementNames[static_cast<size_t>(element)].menuName);
}

QString shortFormOfSlot(int slot)
{
    const int element = kSlots[static_cast<size_t>(slot)].element;
    return element < 0 ? QString() : QString::fromLatin1(kElementNames[static_cast<size_t>(element)].shortForm);
}

} // namespace orv::cli
