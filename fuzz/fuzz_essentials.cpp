// The Essentials filter on every line of device output, in locales that fold letters differently.
#include "base/strlist.h"
#include "fuzzcheck.h"
#include "reports/essentials.h"
#include "reports/keywords.h"

#include <QLocale>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    // The first byte picks the user's locale; Turkish and Azerbaijani fold "i" to a dotted capital.
    static const QLocale locales[] = {
        QLocale::c(), QLocale(QLocale::French, QLocale::France), QLocale(QLocale::Turkish, QLocale::Turkey),
        QLocale(QLocale::Azerbaijani, QLocale::Azerbaijan), QLocale(QLocale::German, QLocale::Germany)};
    QLocale::setDefault(locales[data[0] % std::size(locales)]);
    for (const QString& line : strlist::fromText(textOf(data + 1, size - 1))) {
        require(reports::foldForSearch(line) == strlist::folded(line), "the quick fold is the locale's fold");
        const bool kept = reports::IsEssential(line);
        require(kept == reports::IsEssential(strlist::trim(line)), "blanks around a line do not matter");
        if (strlist::trim(line).isEmpty())
            require(!kept, "an empty line is never essential");
    }
    return 0;
}
