// The RTF export of arbitrary pane text. The input is cut at every byte 0x01 into runs; a run's first
// byte chooses its look (weight, slant, underline, colour, size, font), the rest is its UTF-8 text.
#include "apps/rtf.h"
#include "apps/rtfreader.h"
#include "base/strlist.h"
#include "fuzzcheck.h"

#include <QColor>
#include <QGuiApplication>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

namespace {

const char* const Families[] = {"DejaVu Sans", "Noto Color Emoji", "Ça {va} \\ bien", "Consolas"};
const QRgb Colors[] = {0x000000, 0xFF00FF, 0x008000, 0x0000FF};

QTextCharFormat formatOf(std::uint8_t look) {
    QTextCharFormat format;
    format.setFontWeight(look & 0x01 ? QFont::Bold : QFont::Normal);
    format.setFontItalic(look & 0x02);
    format.setFontUnderline(look & 0x04);
    if (look & 0x08)
        format.setForeground(QColor(Colors[(look >> 4) & 0x03]));
    format.setFontPointSize(6 + (look >> 4));
    format.setFontFamilies({QString::fromUtf8(Families[(look >> 6) & 0x03])});
    return format;
}

// A 7-bit text whose braces, outside \{ and \}, close every group they open and no more.
bool balanced(const QByteArray& rtf) {
    int depth = 0;
    for (qsizetype i = 0; i < rtf.size(); ++i) {
        const char c = rtf[i];
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
        if (c == '\\')
            ++i;
        else if (c == '{')
            ++depth;
        else if (c == '}' && --depth < 0)
            return false;
    }
    return depth == 0;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Fonts need an application object; offscreen, so no display is needed.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz_rtf";
    static char* argv[] = {name, nullptr};
    new QGuiApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QTextDocument document;
    QTextCursor cursor(&document);
    for (const QByteArray& run : bytesOf(data, size).split('\x01')) {
        if (run.isEmpty())
            continue;
        const QTextCharFormat format = formatOf(static_cast<std::uint8_t>(run[0]));
        if (run.size() == 1)
            cursor.insertBlock(QTextBlockFormat(), format);
        else
            cursor.insertText(QString::fromUtf8(run.sliced(1)), format);
    }
    const QByteArray rtf = rtf::fromDocument(document);
    require(rtf.startsWith("{\\rtf1"), "an RTF header");
    require(balanced(rtf), "7-bit text with balanced braces");
    require(rtf.count("\\par\r\n") == document.blockCount() - 1, "one paragraph break per line break");

    // Our reader gets the text back: every line, without the characters a line cannot hold.
    QString text = document.toRawText();
    text.replace(QChar::LineSeparator, u'\n').replace(QChar::ParagraphSeparator, u'\n');
    text.removeIf([](QChar c) { return (c.unicode() < 0x20 && c != u'\t' && c != u'\n') || c.unicode() == 0x7F; });
    const std::optional<QStringList> lines = rtf::textLines(rtf);
    require(lines && *lines == strlist::fromText(text), "the reader gets back the lines written");
    return 0;
}
