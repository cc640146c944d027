// What du's output and a root count's output are read as.
#include "base/strlist.h"
#include "fuzzcheck.h"
#include "storage/duspace.h"
#include "storage/mediacount.h"
#include "storage/sizes.h"

#include <QRegularExpression>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QStringList lines = strlist::fromText(textOf(data, size));
    QString sizeText = u"left over"_qs;
    const bool found = storage::findDuSize(lines, sizeText);
    if (found)
        require(!sizeText.isEmpty() && !sizeText.contains(u'/'), "a size found is a field without a slash");
    else
        require(sizeText.isEmpty() || sizeText.contains(u'/'), "a refused field held a slash");
    ConvertSizeToBytes(sizeText);

    const storage::CountReading count = storage::readCount(lines);
    using Kind = storage::CountReading::Kind;
    require((count.kind == Kind::NoOutput) == lines.isEmpty(), "no output is exactly no line");
    if (count.kind == Kind::NoOutput)
        require(count.count == 0, "no output counts 0");
    if (count.kind == Kind::ParseError)
        require(count.count >= 0, "a sign is not read from a line that is no number");
    if (count.kind == Kind::Counted) {
        static const QRegularExpression whole(QStringLiteral("^[+-]?[0-9]+$"));
        const QString first = strlist::trim(lines.front());
        require(whole.match(first).hasMatch(), "a count is a whole number");
        require(first.endsWith(QString::number(count.count).remove(u'-')) || count.count == 0,
                "the count is the number written");
    }
    return 0;
}
