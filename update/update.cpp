#include "update/update.h"

#include "app/panel.h"
#include "app/strlist.h"
#include "app/tform13.h"
#include "update/httpclient.h"
#include "update/messages.h"

#include <QRegularExpression>
#include <QTimer>

#include <algorithm>

QString CurrentVersion;
QString ServerVersion;

namespace {

const LogStyle ServerVersionStyle{logcolor::Maroon, 10, true};
const LogStyle ClearNoticeHintStyle{logcolor::Grey, 9, false};
constexpr QRgb NoticeFuchsia = 0xFF00FF;
constexpr QRgb NoticeGreen = 0x008000;

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

void clearNotice(Panel* panel, QTimer* timer) {
    timer->stop();
    panel->hide();
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

void TForm13::LoadCurrentVersion() {
    CurrentVersion = QStringLiteral("2.0.15");
}

QString TForm13::GetLatestVersion() {
    ServerVersion =
        update::httpGet(updateServer_.host, updateServer_.port, QString::fromLatin1(update::VersionPath), LangFR);
    return ServerVersion;
}

void TForm13::CheckForUpdates() {
    LoadCurrentVersion();
    const QString LatestVersion = GetLatestVersion();
    if (!update::isNewerVersion(LatestVersion, CurrentVersion)) {
        clearNotice(PanelUpdate, TimerUpdate);
        return;
    }
    writeLine(QString::fromUtf8(update::msg::ServerVersionLine) + strlist::trim(LatestVersion), ServerVersionStyle);
    PanelUpdate->show();
    PanelUpdate->setCaption(QStringLiteral("!!UPDATE!!"));
    PanelUpdate->setColor(QColor(NoticeFuchsia));
    TimerUpdate->start();
    writeLine(QString::fromUtf8(update::msg::ClearNoticeHint), ClearNoticeHintStyle);
}

void TForm13::TimerUpdateTimer() {
    PanelUpdate->setColor(QColor(PanelUpdate->color() == QColor(NoticeFuchsia) ? NoticeGreen : NoticeFuchsia));
}

void TForm13::PanelUpdateClick() {
    clearNotice(PanelUpdate, TimerUpdate);
}
