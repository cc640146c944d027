#include "bridge/catalogue.h"

namespace catalogue {

namespace {

QString adbLine(const QString& adb, const QString& arguments) {
    return quoted(adb) + u' ' + arguments;
}

QString forPhone(const Target& phone, const QString& arguments) {
    const QString selected = !phone.transportId.isEmpty() ? u"-t "_qs + quoted(phone.transportId) + u' '
                             : phone.serial.isEmpty()     ? QString()
                                                          : u"-s "_qs + quoted(phone.serial) + u' ';
    return adbLine(phone.adb, selected + arguments);
}

QString shell(const Target& phone, const QString& deviceCommand) {
    return forPhone(phone, u"shell "_qs + deviceCommand);
}

// su -c runs the double-quoted find; the backslashes belong to find's regular expression.
const QString FindBaseDir = u"/storage/emulated/0"_qs;
const QString CmdPrefix = u"su -c \""_qs;
const QString PhotoSuffix = uR"( -type f -iregex '.*.\(jpg\|jpeg\|png\|gif\|webp\|heic\)' | wc -l")"_qs;
const QString VideoSuffix = uR"( -type f -iregex '.*.\(mp4\|mov\|avi\|webm\|3gp\|mkv\)' | wc -l")"_qs;

} // namespace

QString quoted(const QString& text) {
#ifdef Q_OS_WIN
    // adb.exe reads its command line by the C runtime's rules: backslashes are literal except before a double
    // quote, where they and the quote need a backslash each.
    QString escaped(u'"');
    qsizetype backslashes = 0;
    for (const QChar c : text) {
        if (c == u'\\') {
            ++backslashes;
        } else {
            if (c == u'"')
                escaped += QString(backslashes + 1, u'\\');
            backslashes = 0;
        }
        escaped += c;
    }
    return escaped + QString(backslashes, u'\\') + u'"';
#else
    // Inside double quotes /bin/sh still gives $, `, \ and " their meaning; a backslash takes it away.
    QString escaped;
    escaped.reserve(text.size() + 2);
    escaped += u'"';
    for (const QChar c : text) {
        if (c == u'$' || c == u'`' || c == u'\\' || c == u'"')
            escaped += u'\\';
        escaped += c;
    }
    escaped += u'"';
    return escaped;
#endif
}

QString devices(const QString& adb) {
    return adbLine(adb, u"devices"_qs);
}

QString devicesWithDetails(const QString& adb) {
    return adbLine(adb, u"devices -l"_qs);
}

QString version(const QString& adb) {
    return adbLine(adb, u"version"_qs);
}

QString mdnsCheck(const QString& adb) {
    return adbLine(adb, u"mdns check"_qs);
}

QString mdnsServices(const QString& adb) {
    return adbLine(adb, u"mdns services"_qs);
}

QString pair(const QString& adb, const QString& address, const QString& code) {
    return adbLine(adb, u"pair "_qs + quoted(address) + u' ' + quoted(code));
}

QString connect(const QString& adb, const QString& address) {
    return adbLine(adb, u"connect "_qs + quoted(address));
}

QString disconnect(const QString& adb, const QString& address) {
    return adbLine(adb, address.isEmpty() ? u"disconnect"_qs : u"disconnect "_qs + quoted(address));
}

QString ipRoute(const Target& phone) {
    return shell(phone, u"ip route"_qs);
}

QString wlanAddress(const Target& phone) {
    return shell(phone, u"ip -f inet addr show wlan0"_qs);
}

QString tcpip(const Target& phone, int port) {
    return forPhone(phone, u"tcpip "_qs + QString::number(port));
}

QString dumpsys(const Target& phone, const QString& service) {
    return shell(phone, u"dumpsys "_qs + service);
}

QString getprop(const Target& phone) {
    return shell(phone, u"getprop"_qs);
}

QString serialNumber(const Target& phone) {
    return shell(phone, u"getprop ro.serialno"_qs);
}

QString thirdPartyPackages(const Target& phone) {
    return shell(phone, u"pm list packages -3 -f"_qs);
}

QString thirdPartyPackageNames(const Target& phone) {
    return shell(phone, u"pm list packages -3"_qs);
}

// The phone's shell runs the pipe: the quotes keep it from the shell on this side.
QString batteryCapacities(const Target& phone) {
    return shell(phone, u"\"dumpsys batterystats --charged | grep -i capacity\""_qs);
}

QString suPath(const Target& phone) {
    return shell(phone, u"which su"_qs);
}

QString allPackages(const Target& phone) {
    return shell(phone, u"pm list packages -f"_qs);
}

QString systemPackages(const Target& phone) {
    return shell(phone, u"pm list packages -f -s"_qs);
}

QString df(const Target& phone, bool humanReadable) {
    return shell(phone, humanReadable ? u"df -h"_qs : u"df"_qs);
}

QString duSummary(const Target& phone, const QString& folder) {
    return shell(phone, u"du -sh "_qs + folder);
}

QString countPhotos(const Target& phone) {
    return shell(phone, CmdPrefix + u"find "_qs + FindBaseDir + PhotoSuffix);
}

QString countVideos(const Target& phone) {
    return shell(phone, CmdPrefix + u"find "_qs + FindBaseDir + VideoSuffix);
}

} // namespace catalogue
