// The df table from df's lines.
#include "base/strlist.h"
#include "fuzzcheck.h"
#include "storage/dftable.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QStringList lines = strlist::fromText(textOf(data, size));
    qsizetype rows = 0;
    for (const QString& line : lines) {
        QString normal = line;
        NormalizeSpaces(normal);
        require(isTrimmed(normal) && !normal.contains(u"  "), "no blank at the ends nor two in a row");
        QString again = normal;
        NormalizeSpaces(again);
        require(again == normal, "normalising twice changes nothing");
        const int width = static_cast<int>(line.size() % 64);
        require(AdjustLeft(line, width).size() == width && AdjustRight(line, width).size() == width,
                "a field of the width asked, padded or cut");
        if (storage::dfRow(line))
            ++rows;
    }
    const QStringList table = storage::dfTableLines(lines);
    require(table.size() == rows + 2, "heading, rule, then one line per row");
    for (const QString& line : table)
        require(line.size() == table.front().size(), "every line of the table is as wide as the heading");
    return 0;
}
