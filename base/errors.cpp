#include "base/errors.h"

QString errorReportText(const QString& message) {
    if (!message.isEmpty() && message.back().unicode() <= u'.')
        return message;
    return message + u'.';
}

QString outsideText(QStringView text) {
    constexpr qsizetype Longest = 300;
    if (text.size() <= Longest)
        return text.toString();
    // A surrogate pair is not cut in two.
    const qsizetype cut = text[Longest - 1].isHighSurrogate() ? Longest - 1 : Longest;
    return text.left(cut).toString() + u'…';
}
