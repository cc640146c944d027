#include "update/update.h"

#include "base/strlist.h"

#include <QRegularExpression>

#include <algorithm>

QString CurrentVersion;
QString ServerVersion;

namespace {

bool isNumber(QStringView part) {
    for (const QChar c : part)
        if (c < u'0' || c > u'9')
            return false;
    return !part.isEmpty();
}

QStringView withoutLeadingZeros(QStringView number) {
    while (number.startsWith(u'0'))
        number = number.mid(1);
    return number;
}

// Numbers of any length compare by value, so no part can overflow.
int compareParts(QStringView a, QStringView b) {
    if (isNumber(a) && isNumber(b)) {
        a = withoutLeadingZeros(a);
        b = withoutLeadingZeros(b);
        if (a.size() != b.size())
            return a.size() < b.size() ? -1 : 1;
    }
    return a.compare(b);
}

} // namespace

namespace update {

bool isNewerVersion(QStringView latest, QStringView current) {
    static const QRegularExpression versionText(QStringLiteral("^[0-9][0-9A-Za-z_+-]*(\\.[0-9A-Za-z_+-]+)*$"));
    const QString trimmedLatest = strlist::trim(latest);
    if (!versionText.match(trimmedLatest).hasMatch())
        return false;
    const QString trimmedCurrent = strlist::trim(current);
    const QList<QStringView> latestParts = QStringView(trimmedLatest).split(u'.');
    const QList<QStringView> currentParts = QStringView(trimmedCurrent).split(u'.');
    for (qsizetype i = 0; i < std::max(latestParts.size(), currentParts.size()); ++i) {
        const int order = compareParts(i < latestParts.size() ? latestParts[i] : u"0",
                                       i < currentParts.size() ? currentParts[i] : u"0");
        if (order != 0)
            return order > 0;
    }
    return false;
}

} // namespace update
