// The update server's answer as far as it is parsed: the Content-Type's charset (the input's first line),
// the body (the rest) decoded in it, and the version comparison of what it decodes.
#include "fuzzcheck.h"
#include "update/httpclient.h"
#include "update/update.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray input = bytesOf(data, size);
    const qsizetype cut = input.indexOf('\n');
    const QByteArray contentType = cut < 0 ? input : input.left(cut);
    const QByteArray body = cut < 0 ? QByteArray() : input.mid(cut + 1);
    const QString text = update::decodeBody(body, contentType);
    if (body.isEmpty())
        require(text.isEmpty(), "no body, no text");
    if (!contentType.contains('='))
        require(text == QString::fromLatin1(body), "without a charset the body is ISO-8859-1");
    const QString current = u"2.0.15"_qs;
    require(!(update::isNewerVersion(text, current) && update::isNewerVersion(current, text)),
            "never both newer than the other");
    return 0;
}
