#include "apps/rtf.h"

#include <QColor>
#include <QFont>
#include <QHash>
#include <QList>
#include <QStringList>
#include <QTextBlock>
#include <QTextDocument>

namespace {

constexpr double FallbackPointSize = 12.0;

// RTF is 7-bit: the three special characters are escaped, the rest of ASCII is itself, and every other
// UTF-16 unit is \u with its value as a signed 16-bit number, "?" standing in for readers without Unicode.
void appendText(QByteArray& out, QStringView text) {
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u'\\' || u == u'{' || u == u'}') {
            out += '\\';
            out += static_cast<char>(u);
        } else if (u == u'\t') {
            out += "\\tab ";
        } else if (u == QChar::LineSeparator) {
            out += "\\line ";
        } else if (u < 0x20 || u == 0x7F) {
            // Other control characters have no meaning in a text line and would upset some readers.
            continue;
        } else if (u < 0x80) {
            out += static_cast<char>(u);
        } else {
            out += "\\u";
            out += QByteArray::number(static_cast<qint16>(u));
            out += '?';
        }
    }
}

class Writer {
public:
    explicit Writer(const QTextDocument& document) : defaultFont_(document.defaultFont()) {
        fontIndex(defaultFont_.family());
    }

    QByteArray write(const QTextDocument& document) {
        body_.reserve(document.characterCount() * 2);
        for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
            body_ += "\\pard";
            // An empty line still has a height: that of its own format.
            if (block.length() <= 1)
                writeFormat(block.charFormat());
            for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
                const QTextFragment fragment = it.fragment();
                if (!fragment.isValid())
                    continue;
                writeFormat(fragment.charFormat());
                appendText(body_, fragment.text());
            }
            // The document's last paragraph has no line break of its own.
            if (block.next().isValid())
                body_ += "\\par\r\n";
        }

        QByteArray out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\r\n{\\fonttbl";
        for (qsizetype i = 0; i < fonts_.size(); ++i) {
            out += "{\\f" + QByteArray::number(i) + "\\fnil\\fcharset0 ";
            appendText(out, fonts_[i]);
            out += ";}";
        }
        out += "}\r\n{\\colortbl ;";
        for (const QRgb rgb : std::as_const(colors_))
            out += "\\red" + QByteArray::number(qRed(rgb)) + "\\green" + QByteArray::number(qGreen(rgb)) + "\\blue" +
                   QByteArray::number(qBlue(rgb)) + ';';
        out += "}\r\n";
        out += body_;
        out += "}\r\n";
        return out;
    }

private:
    int fontIndex(const QString& family) {
        const auto found = fontIndexes_.constFind(family);
        if (found != fontIndexes_.constEnd())
            return found.value();
        fonts_.append(family);
        return fontIndexes_.insert(family, int(fonts_.size() - 1)).value();
    }

    // 0 is the reader's automatic colour, for text that brings no colour of its own.
    int colorIndex(const QTextCharFormat& format) {
        if (format.foreground().style() == Qt::NoBrush)
            return 0;
        const QRgb rgb = format.foreground().color().rgb() & 0xFFFFFF;
        const auto found = colorIndexes_.constFind(rgb);
        if (found != colorIndexes_.constEnd())
            return found.value();
        colors_.append(rgb);
        return colorIndexes_.insert(rgb, int(colors_.size())).value();
    }

    void writeFormat(const QTextCharFormat& format) {
        const QFont font = format.font().resolve(defaultFont_);
        const double points = font.pointSizeF() > 0 ? font.pointSizeF() : FallbackPointSize;
        body_ += "\\plain\\f" + QByteArray::number(fontIndex(font.family()));
        body_ += "\\fs" + QByteArray::number(qRound(points * 2));
        body_ += "\\cf" + QByteArray::number(colorIndex(format));
        if (font.bold())
            body_ += "\\b";
        if (font.italic())
            body_ += "\\i";
        if (font.underline())
            body_ += "\\ul";
        if (font.strikeOut())
            body_ += "\\strike";
        body_ += ' ';
    }

    QFont defaultFont_;
    QByteArray body_;
    QStringList fonts_;
    QHash<QString, int> fontIndexes_;
    QList<QRgb> colors_;
    QHash<QRgb, int> colorIndexes_;
};

} // namespace

namespace rtf {

QByteArray fromDocument(const QTextDocument& document) {
    return Writer(document).write(document);
}

} // namespace rtf
