#include "base/strlist.h"

#include <QLocale>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace strlist {

QStringList fromText(QStringView text) {
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n')
            continue;
        lines.append(text.mid(start, i - start).toString());
        if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines.append(text.mid(start).toString());
    return lines;
}

QString joined(const QStringList& lines) {
    qsizetype size = 0;
    for (const QString& line : lines)
        size += line.size() + 2;
    QString text;
    text.reserve(size);
    for (const QString& line : lines) {
        text += line;
        text += u"\r\n";
    }
    return text;
}

namespace {

// Encoded line by line straight into one buffer after room for a prefix: a RAW dump is millions of
// characters, and the whole text joined first would be made, copied and encoded once more. Each line is
// encoded on its own, so a lone surrogate at a line's end never reaches into the next line.
QByteArray encodeLines(const QStringList& lines, QByteArrayView prefix) {
    qsizetype units = 0;
    for (const QString& line : lines)
        units += line.size() + 2;
    QStringEncoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QByteArray bytes(prefix.size() + utf8.requiredSpace(units), Qt::Uninitialized);
    char* out = std::copy(prefix.begin(), prefix.end(), bytes.data());
    for (const QString& line : lines) {
        out = utf8.appendToBuffer(out, line);
        *out++ = '\r';
        *out++ = '\n';
    }
    bytes.truncate(out - bytes.constData());
    return bytes;
}

} // namespace

QByteArray lineBytes(const QStringList& lines) {
    return encodeLines(lines, {});
}

QByteArray fileBytes(const QStringList& lines) {
    return encodeLines(lines, FileMark);
}

QStringList fromFileBytes(const QByteArray& bytes) {
    QByteArrayView view(bytes);
    if (view.startsWith(FileMark))
        view = view.sliced(3);
    // Only our own mark is skipped: a second one is a U+FEFF the first line began with.
    QStringDecoder utf8(QStringConverter::Utf8,
                        QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    const QString text = utf8.decode(view);
    return fromText(text);
}

void blankParagraphBreaks(QString& line) {
    const auto breaks = [](QChar c) {
        return c == QChar::LineSeparator || c == QChar::ParagraphSeparator || c == u'\uFDD0' || c == u'\uFDD1';
    };
    // Most lines hold none: those are left unshared.
    if (std::any_of(line.cbegin(), line.cend(), breaks))
        std::replace_if(line.begin(), line.end(), breaks, QChar(u' '));
}

QString trim(QStringView s) {
    qsizetype begin = 0;
    qsizetype end = s.size();
    while (begin < end && s[begin].unicode() <= 0x20)
        ++begin;
    while (end > begin && s[end - 1].unicode() <= 0x20)
        --end;
    return s.mid(begin, end - begin).toString();
}

QString folded(QStringView s) {
#ifdef Q_OS_WIN
    // Qt's case mapping on Windows knows no locale (it has no ICU there); Windows' own does.
    const QLocale locale;
    const QString name = locale.language() == QLocale::C ? QString() : locale.bcp47Name();
    const auto map = [&](wchar_t* out, int size) {
        return LCMapStringEx(reinterpret_cast<LPCWSTR>(name.utf16()), LCMAP_UPPERCASE | LCMAP_LINGUISTIC_CASING,
                             reinterpret_cast<LPCWSTR>(s.utf16()), int(s.size()), out, size, nullptr, nullptr, 0);
    };
    QString upper(s.isEmpty() ? 0 : map(nullptr, 0), Qt::Uninitialized);
    if (upper.isEmpty() || map(reinterpret_cast<wchar_t*>(upper.data()), int(upper.size())) != upper.size())
        return s.toString().toUpper();
    return upper;
#else
    return QLocale().toUpper(s.toString());
#endif
}

bool containsNoCase(QStringView haystack, QStringView needle) {
    return folded(haystack).contains(folded(needle));
}

bool startsWithNoCase(QStringView s, QStringView prefix) {
    return folded(s).startsWith(folded(prefix));
}

bool endsWithNoCase(QStringView s, QStringView suffix) {
    return folded(s).endsWith(folded(suffix));
}

bool equalsNoCase(QStringView a, QStringView b) {
    return folded(a) == folded(b);
}

QCollator collator() {
    QLocale locale;
    if (locale.language() == QLocale::C)
        locale = QLocale(QLocale::English, QLocale::UnitedStates);
    QCollator c(locale);
    c.setCaseSensitivity(Qt::CaseInsensitive);
    return c;
}

void sortNoCase(QStringList& lines) {
    const QCollator c = collator();
    std::sort(lines.begin(), lines.end(), [&c](const QString& a, const QString& b) { return c.compare(a, b) < 0; });
}

} // namespace strlist
