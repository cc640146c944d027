#include "apps/cleaning.h"

#include "base/strlist.h"

#include <QSet>

namespace {

constexpr QStringView ExcludedPrefixes[] = {
    u"android",
    u"com.android",
    u"com.google.android",
    u"com.google.gms",
    u"com.google.location",
    u"com.google.setupwizard",
    u"com.google.talk",
    u"com.motorola",
    u"motorola.",
    u"com.qualcomm",
    u"com.sec",
    u"com.lge",
    u"com.huawei",
    u"com.htc",
    u"com.asus",
    u"com.oneplus",
    u"com.sonyericsson",
};
constexpr QStringView ExcludedFragments[] = {
    u"certinstaller",          u"packageinstaller", u"cellbroadcastreceiver", u"providers.settings",
    u"providers.downloads.ui", u"pacprocessor",     u"sharedstoragebackup",   u"proxyhandler",
};
constexpr QStringView DomainTokens[] = {u"com", u"org", u"net", u"fr", u"co", u"uk", u"cn", u"de", u"jp", u"ru", u"kr"};
constexpr QStringView RemovedFragments[] = {u".android", u"android.", u".app", u".games"};
constexpr QStringView FillerSegments[] = {u"android", u"app",           u"co",          u"air",
                                          u"audio",   u"games",         u"tools",       u"premium",
                                          u"coocent", u"littlebigplay", u"tapuniverse", u"googles"};

// Package names are ASCII; only A to Z change, so the exclusion tables match as written.
QString asciiLower(QStringView s) {
    QString result = s.toString();
    for (QChar& c : result)
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + (u'a' - u'A'));
    return result;
}

template <std::size_t N> bool startsWithAny(QStringView s, const QStringView (&table)[N]) {
    for (QStringView entry : table)
        if (s.startsWith(entry))
            return true;
    return false;
}

bool isExcluded(QStringView lowerName) {
    if (startsWithAny(lowerName, ExcludedPrefixes))
        return true;
    for (QStringView fragment : ExcludedFragments)
        if (lowerName.contains(fragment))
            return true;
    return false;
}

// Short first segments are reverse-domain parts ("com", "fr", "co.uk"), and so are 3- or 4-character ones
// that begin like one ("code", "free").
bool isDomainSegment(QStringView lowerSegment) {
    if (lowerSegment.size() <= 2)
        return true;
    return lowerSegment.size() <= 4 && startsWithAny(lowerSegment, DomainTokens);
}

bool isFiller(QStringView lowerSegment) {
    for (QStringView filler : FillerSegments)
        if (lowerSegment == filler)
            return true;
    return false;
}

} // namespace

namespace apps {

QString readableName(QStringView rawLine) {
    const qsizetype lastEqual = rawLine.lastIndexOf(u'=');
    if (lastEqual < 0 || lastEqual == rawLine.size() - 1)
        return {};
    QString name = rawLine.mid(lastEqual + 1).toString();
    while (name.startsWith(u'/'))
        name.remove(0, 1);
    if (isExcluded(asciiLower(name)))
        return {};

    for (qsizetype dot = name.indexOf(u'.'); dot >= 0; dot = name.indexOf(u'.')) {
        if (!isDomainSegment(asciiLower(QStringView(name).left(dot))))
            break;
        name.remove(0, dot + 1);
    }

    for (QStringView fragment : RemovedFragments)
        name.remove(fragment.toString(), Qt::CaseInsensitive);

    if (const qsizetype firstDot = name.indexOf(u'.'); firstDot >= 0) {
        const QStringView first = QStringView(name).left(firstDot);
        const qsizetype secondDot = name.indexOf(u'.', firstDot + 1);
        const QStringView second =
            QStringView(name).sliced(firstDot + 1, (secondDot < 0 ? name.size() : secondDot) - firstDot - 1);
        if (asciiLower(first) == asciiLower(second))
            name.truncate(firstDot);
    }

    for (qsizetype dot = name.indexOf(u'.'); dot >= 0; dot = name.indexOf(u'.')) {
        if (!isFiller(asciiLower(QStringView(name).left(dot))))
            break;
        name.remove(0, dot + 1);
    }

    qsizetype begin = 0;
    qsizetype end = name.size();
    while (begin < end && name[begin] == u'.')
        ++begin;
    while (end > begin && name[end - 1] == u'.')
        --end;
    return name.sliced(begin, end - begin);
}

QStringList subtractListing(const QStringList& total, const QStringList& system) {
    QSet<QString> systemLines;
    systemLines.reserve(system.size());
    for (const QString& line : system)
        systemLines.insert(strlist::folded(line));
    QStringList result;
    for (const QString& line : total) {
        QString trimmed = strlist::trim(line);
        if (!systemLines.contains(strlist::folded(trimmed)))
            result.append(std::move(trimmed));
    }
    return result;
}

QString nameOfTickedLine(QStringView lineText) {
    const qsizetype bracket = lineText.indexOf(u']');
    const qsizetype start = bracket < 0 ? 0 : bracket + 1;
    const qsizetype paren = lineText.indexOf(u" (");
    const qsizetype end = paren < 0 ? lineText.size() : paren;
    if (end <= start)
        return {};
    return strlist::trim(lineText.sliced(start, end - start));
}

} // namespace apps
