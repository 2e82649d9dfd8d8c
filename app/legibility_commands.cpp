// The session's commands for readable text: the checks of the theme as the preview shows it,
// and the fixes that give an unreadable text its nearest readable colour.
#include "app/editor_session.h"

namespace orv {

std::vector<LegibilityCheck> EditorSession::legibilityChecks(bool suggest) const
{
    return checkLegibility(theme, canvas.underText, state, clock(), suggest);
}

bool EditorSession::fixLegibility()
{
    const std::vector<LegibilityCheck> checks = legibilityChecks();
    const LegibilityCheck* worst = worstCheck(checks);
    if (!worst) return false;
    theme.setElement(worst->element, worst->suggestion);
    redrawCurrentScreen();
    return true;
}

int EditorSession::fixAllLegibility()
{
    int changed = 0;
    for (const LegibilityCheck& c : legibilityChecks()) {
        if (c.readable || c.suggestion == theme.element(c.element)) continue;
        theme.setElement(c.element, c.suggestion);
        ++changed;
    }
    if (changed > 0) redrawCurrentScreen();
    return changed;
}

} // namespace orv
