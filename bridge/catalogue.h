#pragma once

#include <QString>

// Every adb command line the program sends is built here: the adb path in double quotes, for a phone
// chosen among several "-s" and its serial in double quotes (or "-t" and adb's transport id, for a phone
// whose serial another one reports too), a blank, and the adb arguments.
namespace catalogue {

// A path in double quotes that the command interpreter takes literally, whatever characters it holds.
QString quoted(const QString& text);

// Where a phone command goes: the adb program and, while several phones are attached, the serial of the
// one in use (empty with a single phone, which adb then picks by itself), and its transport id when
// the serial cannot tell it apart.
struct Target {
    QString adb;
    QString serial;
    QString transportId{};
};

QString devices(const QString& adb);
QString devicesWithDetails(const QString& adb); // devices -l: model, product, transport of each phone
// The host's own commands, for no phone in particular: adb's release, its mDNS discovery, and the wireless
// links. Addresses are HOST:PORT and the code six digits, checked before they come here.
QString version(const QString& adb);
QString mdnsCheck(const QString& adb);
QString mdnsServices(const QString& adb);
// The code always goes on the command line: without it adb asks for it on its input.
QString pair(const QString& adb, const QString& address, const QString& code);
QString connect(const QString& adb, const QString& address);
QString disconnect(const QString& adb, const QString& address); // every Wi-Fi phone when address is empty
// The phone in use: its routes and its wlan0 address, and its restart in TCP mode on that port.
QString ipRoute(const Target& phone);
QString wlanAddress(const Target& phone);
QString tcpip(const Target& phone, int port);
// "shell dumpsys <service>": battery, thermalservice, sensorservice, cpuinfo, wifi.
QString dumpsys(const Target& phone, const QString& service);
QString getprop(const Target& phone);
QString serialNumber(const Target& phone);           // getprop ro.serialno: the serial the phone knows itself by
QString thirdPartyPackages(const Target& phone);     // pm list packages -3 -f
QString allPackages(const Target& phone);            // pm list packages -f
QString systemPackages(const Target& phone);         // pm list packages -f -s
QString thirdPartyPackageNames(const Target& phone); // pm list packages -3
// The capacity lines of batterystats since the last full charge: the battery's design and learned capacity.
QString batteryCapacities(const Target& phone);
// Where su lies on the phone's search path, if anywhere; su itself is never run, it asks the phone's owner.
QString suPath(const Target& phone);
// df -h, or the raw df of old phones.
QString df(const Target& phone, bool humanReadable);
QString duSummary(const Target& phone, const QString& folder); // du -sh <folder>, the folder unquoted
// A root find of the photo or video files in shared storage, counted by wc -l.
QString countPhotos(const Target& phone);
QString countVideos(const Target& phone);

} // namespace catalogue
