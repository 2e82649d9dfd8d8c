#pragma once
// The question before a copy replaces a file whose content differs from what is copied over
// it, on either side. "Yes to All" answers it for the rest of one button action; a file of the
// same content is copied without a question.

#include "app/interaction.h"

#include <QString>

namespace orv {

class ReplaceQuestion {
public:
    enum class Answer { Replace, Skip, Stop };

    explicit ReplaceQuestion(UserInteraction& ui) : ui_(ui) {}

    // "Replace NAME?" with Yes, Yes to All, No and Cancel. Closing the box stops the action.
    Answer ask(const QString& name);

private:
    UserInteraction& ui_;
    bool replaceAll_ = false;
};

// True when both files can be read and hold the same bytes.
bool sameContent(const QString& a, const QString& b);

} // namespace orv
