#include "bridge/catalogue.h"

namespace catalogue {

namespace {

QString adbLine(const QString& adb, const QString& arguments) {
    return quoted(adb) + u' ' + arguments;
}

QString shell(const QString& adb, const QString& deviceCommand) {
    return adbLine(adb, u"shell "_qs + deviceCommand);
}

// su -c runs the double-quoted find; the backslashes belong to find's regular expression.
const QString FindBaseDir = u"/storage/emulated/0"_qs;
const QString CmdPrefix = u"su -c \""_qs;
const QString PhotoSuffix = uR"( -type f -iregex '.*.\(jpg\|jpeg\|png\|gif\|webp\|heic\)' | wc -l")"_qs;
const QString VideoSuffix = uR"( -type f -iregex '.*.\(mp4\|mov\|avi\|webm\|3gp\|mkv\)' | wc -l")"_qs;

} // namespace

QString quoted(const QString& text) {
#ifdef Q_OS_WIN
    // Windows file names cannot hold a double quote.
    return u'"' + text + u'"';
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

QString dumpsys(const QString& adb, const QString& service) {
    return shell(adb, u"dumpsys "_qs + service);
}

QString getprop(const QString& adb) {
    return shell(adb, u"getprop"_qs);
}

QString thirdPartyPackages(const QString& adb) {
    return shell(adb, u"pm list packages -3 -f"_qs);
}

QString allPackages(const QString& adb) {
    return shell(adb, u"pm list packages -f"_qs);
}

QString systemPackages(const QString& adb) {
    return shell(adb, u"pm list packages -f -s"_qs);
}

QString df(const QString& adb, bool humanReadable) {
    return shell(adb, humanReadable ? u"df -h"_qs : u"df"_qs);
}

QString duSummary(const QString& adb, const QString& folder) {
    return shell(adb, u"du -sh "_qs + folder);
}

QString countPhotos(const QString& adb) {
    return shell(adb, CmdPrefix + u"find "_qs + FindBaseDir + PhotoSuffix);
}

QString countVideos(const QString& adb) {
    return shell(adb, CmdPrefix + u"find "_qs + FindBaseDir + VideoSuffix);
}

} // namespace catalogue
