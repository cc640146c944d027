// The connection test's reading of "adb devices".
#include "app/strlist.h"
#include "bridge/connection.h"
#include "fuzzcheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QStringList lines = strlist::fromText(textOf(data, size));
    const bridge::DeviceState state = bridge::judgeDevices(lines);
    if (!strlist::containsNoCase(strlist::joined(lines), u"device"))
        require(state != bridge::DeviceState::Usable, "no phone without the word device");
    return 0;
}
