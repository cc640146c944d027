// Command output as the runner reads it: decoded, then cut into lines; and a file of ours read back.
#include "base/strlist.h"
#include "bridge/runner.h"
#include "fuzzcheck.h"

namespace {

void checkLines(const QStringList& lines) {
    for (const QString& line : lines)
        require(!line.contains(u'\r') && !line.contains(u'\n'), "no line holds a line break");
    require(strlist::fromText(strlist::joined(lines)) == lines, "lines joined and cut again are the same lines");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes = bytesOf(data, size);
    const QString text = bridge::decodeOutput(bytes);
    QByteArray kept = bytes;
    kept.removeIf([](char c) { return c == '\0'; });
    // A byte-order mark at the start says nothing about the text.
    const QByteArray utf8 = kept.startsWith("\xEF\xBB\xBF") ? kept.sliced(3) : kept;
    require(text.toUtf8() == utf8 || text == QString::fromLatin1(kept), "output is read as UTF-8 or else as 8-bit");
    checkLines(strlist::fromText(text));
    // Read in two pieces, cut where the first byte says, it gives the same lines as read whole.
    const qsizetype cut = size > 0 ? data[0] % (bytes.size() + 1) : 0;
    bridge::OutputLines pieces;
    pieces.add(bytes.first(cut));
    pieces.add(bytes.sliced(cut));
    require(pieces.finish() == strlist::fromText(text), "output read in pieces gives the lines of the whole");

    const QStringList fileLines = strlist::fromFileBytes(bytes);
    checkLines(fileLines);
    require(strlist::fromFileBytes(strlist::fileBytes(fileLines)) == fileLines, "a file we write reads back the same");
    return 0;
}
