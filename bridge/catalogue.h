#pragma once

#include <QString>

// Every adb command line the program sends is built here: the adb path in double quotes, a blank, and
// the adb arguments.
namespace catalogue {

// A path in double quotes that the command interpreter takes literally, whatever characters it holds.
QString quoted(const QString& text);

QString devices(const QString& adb);
// "shell dumpsys <service>": battery, thermalservice, sensorservice, cpuinfo, wifi.
QString dumpsys(const QString& adb, const QString& service);
QString getprop(const QString& adb);
QString thirdPartyPackages(const QString& adb); // pm list packages -3 -f
QString allPackages(const QString& adb);        // pm list packages -f
QString systemPackages(const QString& adb);     // pm list packages -f -s
// df -h, or the raw df of old phones.
QString df(const QString& adb, bool humanReadable);
QString duSummary(const QString& adb, const QString& folder); // du -sh <folder>, the folder unquoted
// A root find of the photo or video files in shared storage, counted by wc -l.
QString countPhotos(const QString& adb);
QString countVideos(const QString& adb);

} // namespace catalogue
