#include "transfer/replace_question.h"

#include "app/editor_session.h"

#include <QFile>

namespace orv {

ReplaceQuestion::Answer ReplaceQuestion::ask(const QString& name)
{
    if (replaceAll_) return Answer::Replace;
    switch (ui_.messageBox("Replace " + name + "?", kAppTitle, MsgIcon::Question,
                           MsgButtons::YesYesToAllNoCancel)) {
    case MsgResult::YesToAll: replaceAll_ = true; return Answer::Replace;
    case MsgResult::Yes: return Answer::Replace;
    case MsgResult::No: return Answer::Skip;
    default: return Answer::Stop;
    }
}

bool sameContent(const QString& a, const QString& b)
{
    QFile fa(a), fb(b);
    if (!fa.open(QIODevice::ReadOnly) || !fb.open(QIODevice::ReadOnly)) return false;
    if (fa.size() != fb.size()) return false;
    constexpr qint64 kChunk = 64 * 1024;
    while (!fa.atEnd()) {
        const QByteArray x = fa.read(kChunk);
        const QByteArray y = fb.read(kChunk);
        if (x.isEmpty() || x != y) return false;
    }
    return fb.atEnd();
}

} // namespace orv
