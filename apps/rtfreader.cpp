#include "apps/rtfreader.h"

#include "base/strlist.h"

#include <QList>
#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <climits>
#include <string>
#include <string_view>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

using namespace std::string_view_literals;

// Destinations that hold no body text: the header's tables, the document's information, pictures and
// objects, page headers and footers, notes, field instructions (their results stay), list numbers, and
// the tables LibreOffice writes, each between blanks. A \* in front skips any other destination too.
constexpr std::string_view SkippedDestinations =
    " bkmkend bkmkstart colorschememapping colortbl comment datastore filetbl fldinst fonttbl footer footerf "
    " footerl footerr footnote generator header headerf headerl headerr info latentstyles listoverridetable "
    " listtable listtext nonshppict object pgdsctbl pict pntext revtbl rsidtbl stylesheet themedata userprops "
    " xmlnstbl ";

bool isSkippedDestination(std::string_view word) {
    return SkippedDestinations.find(std::string(1, ' ').append(word).append(1, ' ')) != std::string_view::npos;
}

struct Symbol {
    std::string_view word;
    char16_t character;
};

constexpr std::array Symbols{
    Symbol{"tab"sv, u'\t'},           Symbol{"emdash"sv, u'\u2014'}, Symbol{"endash"sv, u'\u2013'},
    Symbol{"lquote"sv, u'\u2018'},    Symbol{"rquote"sv, u'\u2019'}, Symbol{"ldblquote"sv, u'\u201C'},
    Symbol{"rdblquote"sv, u'\u201D'}, Symbol{"bullet"sv, u'\u2022'}, Symbol{"emspace"sv, u'\u2003'},
    Symbol{"enspace"sv, u'\u2002'},   Symbol{"qmspace"sv, u'\u2005'}};

constexpr int DefaultCodePage = 1252;

bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

int hexValue(char c) {
    if (isDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// A text line holds no line break and no control character but the tab: the pane would make paragraphs
// of the ones and hide the others. Breaks the pane takes for paragraphs inside the text become blanks.
void cleanLine(QString& line) {
    strlist::blankParagraphBreaks(line);
    line.removeIf([](QChar c) { return (c.unicode() < 0x20 && c != u'\t') || c.unicode() == 0x7F; });
}

// Text in one of Windows' code pages. Windows converts it itself (Qt's own converters there know no code
// pages); elsewhere Qt does, with its ICU. An unknown page is read as the default one.
class CodePage {
public:
    explicit CodePage(int number) {
#ifdef Q_OS_WIN
        number_ = number > 0 && IsValidCodePage(UINT(number)) ? UINT(number) : DefaultCodePage;
#else
        decoder_ =
            QStringDecoder(("windows-" + QByteArray::number(number)).constData(), QStringDecoder::Flag::Stateless);
        if (!decoder_.isValid() && number != DefaultCodePage)
            *this = CodePage(DefaultCodePage);
        // A system without a converter for it still reads ASCII and the Latin-1 letters right.
        if (!decoder_.isValid())
            decoder_ = QStringDecoder(QStringConverter::Latin1, QStringDecoder::Flag::Stateless);
#endif
    }

    QString decode(QByteArrayView bytes) {
#ifdef Q_OS_WIN
        const int size = int(bytes.size());
        QString text(MultiByteToWideChar(number_, 0, bytes.data(), size, nullptr, 0), Qt::Uninitialized);
        MultiByteToWideChar(number_, 0, bytes.data(), size, reinterpret_cast<wchar_t*>(text.data()), int(text.size()));
        return text;
#else
        return decoder_.decode(bytes);
#endif
    }

private:
#ifdef Q_OS_WIN
    UINT number_;
#else
    QStringDecoder decoder_;
#endif
};

class Reader {
public:
    explicit Reader(QByteArrayView rtf) : in_(rtf), codePage_(DefaultCodePage) {}

    std::optional<QStringList> read() {
        while (pos_ < in_.size()) {
            const char c = in_[pos_++];
            if (c == '{') {
                flushBytes();
                groups_.append(group_);
                fallbackLeft_ = 0;
            } else if (c == '}') {
                if (groups_.isEmpty())
                    return std::nullopt;
                flushBytes();
                group_ = groups_.takeLast();
                fallbackLeft_ = 0;
            } else if (c == '\\') {
                escape();
            } else {
                character(c);
            }
        }
        if (!groups_.isEmpty())
            return std::nullopt;
        // The last paragraph needs no \par, but without text it is no line.
        flushBytes();
        cleanLine(line_);
        if (!line_.isEmpty())
            lines_.append(line_);
        return lines_;
    }

private:
    struct Group {
        int fallbackCount = 1; // \ucN: the characters that stand in for each \uN
        bool skipped = false;
    };

    // Only the document's own group and its groups hold text.
    bool reading() const { return !groups_.isEmpty() && !group_.skipped; }

    // The characters after \uN that stand in for it: plain ones, \'hh and control words count one each.
    bool isFallback() {
        if (fallbackLeft_ == 0)
            return false;
        --fallbackLeft_;
        return true;
    }

    void character(char c) {
        // Line breaks in the file only keep its lines short.
        if (c == '\r' || c == '\n' || isFallback())
            return;
        if (static_cast<unsigned char>(c) >= 0x80)
            byte(c);
        else
            text(static_cast<char16_t>(c));
    }

    void escape() {
        if (pos_ >= in_.size())
            return;
        if (isLetter(in_[pos_])) {
            controlWord();
            return;
        }
        const char c = in_[pos_++];
        if (c == '\'') {
            int value = 0;
            int digits = 0;
            for (; digits < 2 && pos_ < in_.size() && hexValue(in_[pos_]) >= 0; ++digits)
                value = value * 16 + hexValue(in_[pos_++]);
            if (digits > 0 && !isFallback())
                byte(static_cast<char>(value));
            return;
        }
        if (isFallback())
            return;
        switch (c) {
        case '\\':
        case '{':
        case '}':
            text(static_cast<char16_t>(c));
            break;
        case '~':
            text(u'\u00A0');
            break;
        case '_':
            text(u'\u2011');
            break;
        case '*':
            group_.skipped = true;
            break;
        case '\r':
        case '\n':
            endLine();
            break;
        default:
            break;
        }
    }

    void controlWord() {
        const qsizetype start = pos_;
        while (pos_ < in_.size() && isLetter(in_[pos_]))
            ++pos_;
        const QByteArrayView word = in_.sliced(start, pos_ - start);
        const bool negative = pos_ + 1 < in_.size() && in_[pos_] == '-' && isDigit(in_[pos_ + 1]);
        if (negative)
            ++pos_;
        const bool hasParameter = pos_ < in_.size() && isDigit(in_[pos_]);
        qint64 value = 0;
        for (; pos_ < in_.size() && isDigit(in_[pos_]); ++pos_)
            value = std::min<qint64>(value * 10 + (in_[pos_] - '0'), INT_MAX);
        const int parameter = static_cast<int>(negative ? -value : value);
        if (pos_ < in_.size() && in_[pos_] == ' ')
            ++pos_;

        const std::string_view name(word.data(), word.size());
        // Binary data may hold any byte, braces too.
        if (name == "bin"sv) {
            pos_ += std::clamp<qint64>(parameter, 0, in_.size() - pos_);
            return;
        }
        if (isFallback())
            return;
        if (name == "u"sv && hasParameter) {
            // A signed 16-bit number, though some writers give the unsigned one.
            text(static_cast<char16_t>(parameter & 0xFFFF));
            fallbackLeft_ = group_.fallbackCount;
        } else if (name == "uc"sv && hasParameter) {
            group_.fallbackCount = std::max(parameter, 0);
        } else if (name == "par"sv || name == "line"sv) {
            endLine();
        } else if (name == "ansicpg"sv && hasParameter) {
            flushBytes();
            codePage_ = CodePage(parameter);
        } else if (isSkippedDestination(name)) {
            group_.skipped = true;
        } else if (const auto symbol =
                       std::find_if(Symbols.begin(), Symbols.end(), [name](const Symbol& s) { return s.word == name; });
                   symbol != Symbols.end()) {
            text(symbol->character);
        }
    }

    void text(char16_t c) {
        if (!reading())
            return;
        flushBytes();
        line_ += QChar(c);
    }

    // Bytes of the code page wait until the text goes on, so that a character of two bytes is read whole.
    void byte(char c) {
        if (reading())
            pending_ += c;
    }

    void flushBytes() {
        if (pending_.isEmpty())
            return;
        line_ += codePage_.decode(pending_);
        pending_.clear();
    }

    void endLine() {
        if (!reading())
            return;
        flushBytes();
        cleanLine(line_);
        lines_.append(line_);
        line_.clear();
    }

    QByteArrayView in_;
    qsizetype pos_ = 0;
    CodePage codePage_;
    QList<Group> groups_;
    Group group_;
    int fallbackLeft_ = 0;
    QByteArray pending_;
    QString line_;
    QStringList lines_;
};

} // namespace

namespace rtf {

std::optional<QStringList> textLines(QByteArrayView rtf) {
    return Reader(rtf).read();
}

} // namespace rtf
