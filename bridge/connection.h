#pragma once

#include <QStringList>

namespace bridge {

enum class DeviceState { Usable, Unauthorized, NoDevice };

// Reads the lines of "adb devices". A line names a usable phone when it holds "device", neither
// "devices attached" nor "unauthorized", and its state (the first word after the tab that ends the
// serial) is "device" (letter case ignored), so adb's "no permissions ... device.html" line or an error
// about devices is no phone.
DeviceState judgeDevices(const QStringList& lines);

} // namespace bridge
