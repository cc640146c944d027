// Sizes as du prints them, read as byte counts, and byte counts written for the user in both languages.
#include "base/strlist.h"
#include "fuzzcheck.h"
#include "storage/sizes.h"

#include <cmath>
#include <cstring>

namespace {

void checkFormat(qint64 bytes) {
    const QString english = FormatBytes(bytes, false);
    require(!english.isEmpty(), "a size is never written as nothing");
    QString french = english;
    french.replace(u'.', u',');
    require(FormatBytes(bytes, true) == french, "French writes a comma where English writes a point");
    if (bytes == 0) {
        require(english == u"0 o", "nothing is 0 o");
        return;
    }
    // "<number> <unit>": the number, one decimal, times the unit is the count, to within half a tenth.
    const qsizetype blank = english.indexOf(u' ');
    require(blank > 0 && english.at(blank - 2) == u'.', "one decimal then a blank");
    const qsizetype unit =
        std::find(Suffixes.begin(), Suffixes.end(), QStringView(english).sliced(blank + 1)) - Suffixes.begin();
    require(unit < qsizetype(Suffixes.size()), "a known unit");
    bool ok = false;
    const double shown = english.left(blank).toDouble(&ok);
    require(ok, "the number reads back");
    const double exact = static_cast<double>(bytes) / std::pow(1024.0, static_cast<double>(unit));
    require(std::fabs(shown - exact) <= 0.05 + 1e-9 * std::fabs(exact), "the number is the count rounded to a tenth");
    require(unit == 5 || exact < 1024, "the largest unit up to Po that leaves less than 1024");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size >= sizeof(qint64)) {
        qint64 raw = 0;
        std::memcpy(&raw, data, sizeof raw);
        checkFormat(raw);
    }
    for (const QString& line : strlist::fromText(textOf(data, size))) {
        const qint64 bytes = ConvertSizeToBytes(line);
        require(ConvertSizeToBytes(u" \t"_qs + line + u" "_qs) == bytes, "blanks around a size do not matter");
        QString withPoint = line;
        withPoint.replace(u',', u'.');
        require(ConvertSizeToBytes(withPoint) == bytes, "a decimal comma reads as a point");
        checkFormat(bytes);
    }
    return 0;
}
