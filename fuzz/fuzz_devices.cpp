// The connection test's reading of "adb devices".
#include "base/strlist.h"
#include "bridge/connection.h"
#include "fuzzcheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QStringList lines = strlist::fromText(textOf(data, size));
    const bridge::DeviceList list = bridge::readDevices(lines);
    if (!strlist::containsNoCase(strlist::joined(lines), u"device"))
        require(list.state != bridge::DeviceState::Usable, "no phone without the word device");
    require((list.state == bridge::DeviceState::Usable) == !list.usable.isEmpty(), "usable exactly with a phone");
    require(list.usable.size() <= list.attached, "no more usable phones than attached ones");
    for (const QString& serial : list.usable) {
        require(!serial.isEmpty(), "a usable phone has a serial");
        require(bridge::phoneLabel(lines, serial).contains(serial), "a phone is shown with its serial");
    }
    return 0;
}
