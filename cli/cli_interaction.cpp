#include "cli/cli_interaction.h"
#include "cli/cli_errors.h"
#include "cli/own_stderr.h"

#include <cstdio>

namespace orv::cli {

MsgResult NonInteractiveUser::messageBox(const QString& text, const QString&, MsgIcon icon,
                                         MsgButtons buttons)
{
    ++boxes;
    // Error boxes carry the critical-stop icon; "Theme not created!" the exclamation mark.
    const bool error = icon == MsgIcon::Critical || icon == MsgIcon::Exclamation;
    if (error) ++errorBoxes;
    if (error && !subject_.isEmpty()) {
        reportFileError(subject_, reason_, systemMessageOf(text));
    } else {
        std::fprintf(ownStderr(), "%s\n", text.toLocal8Bit().constData());
        std::fflush(ownStderr());
    }
    // Nobody is there to agree: questions get the answer that changes nothing.
    switch (buttons) {
    case MsgButtons::Ok: return MsgResult::Ok;
    case MsgButtons::OkCancel: return MsgResult::Cancel;
    case MsgButtons::YesNo: return MsgResult::No;
    case MsgButtons::YesNoCancel: return MsgResult::Cancel;
    case MsgButtons::YesYesToAllNoCancel: return MsgResult::Cancel;
    }
    return MsgResult::Ok;
}

std::optional<QString> NonInteractiveUser::next()
{
    if (fileAnswers.empty()) return std::nullopt;
    QString answer = fileAnswers.front();
    fileAnswers.pop_front();
    return answer;
}

} // namespace orv::cli
