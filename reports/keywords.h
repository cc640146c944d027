#pragma once

#include <QList>
#include <QLocale>
#include <QMutex>
#include <QString>
#include <QStringMatcher>
#include <QStringView>

#include <initializer_list>

namespace reports {

// The same text as strlist::folded, quicker for plain ASCII: outside Turkish and Azerbaijani (where "i"
// becomes a dotted capital), every locale folds ASCII letter by letter to capitals. Long dumps are
// almost all ASCII, and the locale's full case mapping costs more than the searches that follow.
QString foldForSearch(QStringView text);

// Keywords for case-insensitive tests on text folded by foldForSearch. They are folded again only when
// the locale changed, not for every line. One object serves every thread (the console program reads
// several phones at once).
class LocaleKeywords {
public:
    LocaleKeywords(std::initializer_list<const char16_t*> words);
    bool containedIn(QStringView foldedText) const;
    bool beginOf(QStringView foldedText) const;

private:
    QList<QStringMatcher> matchers() const;

    QList<QStringView> words_;
    mutable QMutex mutex_;
    mutable QLocale locale_;
    mutable QList<QStringMatcher> matchers_;
};

} // namespace reports
