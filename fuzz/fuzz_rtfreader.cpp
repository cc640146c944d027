// The groups file read back: any bytes, as a user may drop any file that starts like Rich Text.
#include "apps/rtfreader.h"
#include "fuzzcheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::optional<QStringList> lines = rtf::textLines(bytesOf(data, size));
    if (!lines)
        return 0;
    for (const QString& line : *lines)
        require(!line.contains(u'\r') && !line.contains(u'\n') && !line.contains(QChar::ParagraphSeparator),
                "a line holds no line break");
    return 0;
}
