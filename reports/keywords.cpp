#include "reports/keywords.h"

#include "base/strlist.h"

namespace reports {

QString foldForSearch(QStringView text) {
    const QLocale::Language language = QLocale().language();
    const bool plainAscii = language != QLocale::Turkish && language != QLocale::Azerbaijani;
    if (!plainAscii || !QtPrivate::isAscii(text))
        return strlist::folded(text);
    QString folded(text.size(), Qt::Uninitialized);
    QChar* out = folded.data();
    for (const QChar c : text)
        *out++ = c >= u'a' && c <= u'z' ? QChar(c.unicode() - (u'a' - u'A')) : c;
    return folded;
}

LocaleKeywords::LocaleKeywords(std::initializer_list<const char16_t*> words) {
    for (const char16_t* word : words)
        words_.append(QStringView(word));
}

QList<QStringMatcher> LocaleKeywords::matchers() const {
    const QLocale current;
    const QMutexLocker lock(&mutex_);
    if (matchers_.isEmpty() || locale_ != current) {
        locale_ = current;
        matchers_.clear();
        for (QStringView word : words_)
            matchers_.append(QStringMatcher(strlist::folded(word)));
    }
    return matchers_;
}

bool LocaleKeywords::containedIn(QStringView foldedText) const {
    for (const QStringMatcher& k : matchers())
        if (k.indexIn(foldedText) >= 0)
            return true;
    return false;
}

bool LocaleKeywords::beginOf(QStringView foldedText) const {
    for (const QStringMatcher& k : matchers())
        if (foldedText.startsWith(k.pattern()))
            return true;
    return false;
}

} // namespace reports
