#include "app/tform13.h"

#include "base/strlist.h"
#include "ui/panel.h"
#include "update/httpclient.h"
#include "update/messages.h"
#include "update/update.h"

#include <QTimer>

namespace {

const LogStyle ServerVersionStyle{logcolor::Maroon, 10, true};
const LogStyle ClearNoticeHintStyle{logcolor::Grey, 9, false};
constexpr QRgb NoticeFuchsia = 0xFF00FF;
constexpr QRgb NoticeGreen = 0x008000;

void clearNotice(Panel* panel, QTimer* timer) {
    timer->stop();
    panel->hide();
}

} // namespace

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
