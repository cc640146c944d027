// The update check's version comparison, on two texts cut from the input at its first line break.
#include "fuzzcheck.h"
#include "update/update.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString text = textOf(data, size);
    const qsizetype cut = text.indexOf(u'\n');
    const QString a = cut < 0 ? text : text.left(cut);
    const QString b = cut < 0 ? QString() : text.mid(cut + 1);
    require(!(update::isNewerVersion(a, b) && update::isNewerVersion(b, a)), "never both newer than the other");
    require(!update::isNewerVersion(a, a), "never newer than itself");
    return 0;
}
