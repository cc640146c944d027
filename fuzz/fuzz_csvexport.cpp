// The CSV export of a RAW dump, with both separators and in both languages.
#include "base/strlist.h"
#include "fuzzcheck.h"
#include "reports/csvexport.h"

#include <utility>

namespace {

// The fields of one CSV record read back as RFC 4180 says; -1 when the record is malformed.
qsizetype fieldCount(const QString& record, QChar separator) {
    qsizetype fields = 1;
    qsizetype i = 0;
    const qsizetype n = record.size();
    for (;;) {
        if (i < n && record[i] == u'"') {
            for (++i;; ++i) {
                if (i >= n)
                    return -1;
                if (record[i] == u'"') {
                    if (i + 1 < n && record[i + 1] == u'"')
                        ++i;
                    else
                        break;
                }
            }
            ++i;
            if (i < n && record[i] != separator)
                return -1;
        } else {
            while (i < n && record[i] != separator) {
                if (record[i] == u'"' || record[i] == u'\r' || record[i] == u'\n')
                    return -1;
                ++i;
            }
        }
        if (i >= n)
            return fields;
        ++fields;
        ++i;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QStringList rawLines = strlist::fromFileBytes(bytesOf(data, size));
    // Excel's variant in English and LibreOffice's in French: both separators and both languages.
    for (const auto& [separator, langFR] : {std::pair{u","_qs, false}, std::pair{u";"_qs, true}}) {
        const reports::CsvExport result = reports::SplitIntoCategories(rawLines, separator, langFR);
        require(!result.summary.isEmpty(), "the summary says at least whether an IMEI was found");
        for (const reports::CategoryRows& category : result.categories) {
            require(!category.lines.isEmpty(), "every category file has its heading row");
            for (const QString& row : category.lines)
                require(fieldCount(row, separator.front()) == 3, "every row reads back as three fields");
            const QString fileName = reports::CategoryFileName(category.name, u"_LibreOffice"_qs);
            require(fileName.toUtf8().size() <= 255 && !fileName.contains(u'/') && !fileName.contains(u'\0') &&
                        fileName.startsWith(u"DeviceInfoHW_") && fileName.endsWith(u"_LibreOffice.csv"),
                    "a category file is one plain file name in the output folder");
        }
    }
    return 0;
}
