// The thermal line of the CSV export, on every line of the input.
#include "base/strlist.h"
#include "fuzzcheck.h"
#include "reports/csvexport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    for (const QString& line : strlist::fromText(textOf(data, size))) {
        QString name = u"left over"_qs;
        QString value = u"left over"_qs;
        const bool found = reports::ParseThermalLine(line, name, value);
        require(found == (!name.isEmpty() && !value.isEmpty()), "found means a name and a value");
        if (!line.contains(u"mValue=") || !line.contains(u"mName="))
            require(name.isEmpty() && value.isEmpty(), "nothing is left from before");
        require(isTrimmed(value), "the value is trimmed");
        require(!name.contains(u'}'), "the closing brace is not part of the name");
        require(line.contains(value) && !value.contains(u','), "the value is text of the line up to a comma");
    }
    return 0;
}
