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
};
DeviceList readDevices(const QStringList& lines);

// How a phone is shown: "Model (serial)" from its line in "adb devices -l" (underscores shown as
// blanks), or the serial alone when that line names no model.
QString phoneLabel(const QStringList& detailLines, const QString& serial);

// The phone the commands go to while several are attached: the one the user chose in this run, the one
// in use now (empty while a single phone is attached), and how each phone seen so far is shown.
struct PhoneChoice {
    QString chosen;
    QString inUse;
    QHash<QString, QString> labels;
};

} // namespace bridge
