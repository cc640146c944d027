// The readable names of package-manager lines, the old phones' listing and the names of ticked lines.
#include "apps/cleaning.h"
#include "base/strlist.h"
#include "fuzzcheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QStringList lines = strlist::fromText(textOf(data, size));
    QStringList trimmed;
    for (const QString& line : lines) {
        const QString name = apps::readableName(line);
        require(name.isEmpty() || (!name.contains(u'=') && name.size() < line.size()),
                "the name is part of what follows the last =");
        require(!name.startsWith(u'.') && !name.endsWith(u'.'), "no dot at either end of a name");
        require(isTrimmed(apps::nameOfTickedLine(line)), "a ticked line's name is trimmed");
        trimmed.append(strlist::trim(line));
    }
    require(apps::subtractListing(lines, trimmed).isEmpty(), "a listing minus itself leaves nothing");
    require(apps::subtractListing(lines, {}) == trimmed, "minus nothing leaves every line, trimmed");
    return 0;
}
