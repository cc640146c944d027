#pragma once

#include <QHash>
#include <QStringList>

namespace bridge {

enum class DeviceState { Usable, Unauthorized, NoDevice };

// What "adb devices" says. A line names a usable phone when it holds "device", neither "devices
// attached" nor "unauthorized", and its state (the first word after the tab that ends the serial) is
// "device" (letter case ignored), so adb's "no permissions ... device.html" line or an error about
// devices is no phone.
struct DeviceList {
    DeviceState state = DeviceState::NoDevice;
    QStringList usable;     // serials of the usable phones, in list order
    qsizetype attached = 0; // phones listed under the header, whatever their state
    QStringList shared;     // serials that several listed phones report
};
DeviceList readDevices(const QStringList& lines);

// How a phone is shown: "Model (serial)" from its line in "adb devices -l" (underscores shown as
// blanks), or the serial alone when that line names no model. occurrence counts the usable phones
// listed before it with the same serial.
QString phoneLabel(const QStringList& detailLines, const QString& serial, qsizetype occurrence = 0);
// The phone's model in "adb devices -l" as adb writes it, empty when its line names none.
QString phoneModel(const QStringList& detailLines, const QString& serial, qsizetype occurrence = 0);
// The transport id adb gives that phone in "adb devices -l" ("transport_id:N"), empty when it names none.
QString transportId(const QStringList& detailLines, const QString& serial, qsizetype occurrence = 0);

// What adb calls a phone it reaches over Wi-Fi: "HOST:PORT", or the mDNS name of wireless debugging
// ("adb-SERIAL-xxxxxx._adb-tls-connect._tcp", which holds the phone's own serial: returned, else empty).
bool isNetworkSerial(const QString& serial);
QString serialInWirelessName(const QString& serial);

// adb's own complaint that it reached no phone or not the one meant (unplugged, offline, unauthorised,
// several phones where one was meant): the first line of a failed command's output when it is one of
// those, else an empty string. Lines about starting adb's server come before it.
QString adbComplaint(const QStringList& lines, int exitCode);

// One usable phone: its serial and, when another listed phone reports the same serial, adb's transport id.
struct Phone {
    QString serial;
    QString transportId;
    bool operator==(const Phone&) const = default;
};

// The phone the commands go to while several are attached: the one the user chose in this run, the one
// in use now (empty while a single phone is attached), and adb's details of the usable phones listed.
struct PhoneChoice {
    Phone chosen;
    Phone inUse;
    QStringList listed;
    QStringList details;
    QHash<QString, QString> serialNumbers; // of the phones listed over Wi-Fi, as each phone says it
};

} // namespace bridge
