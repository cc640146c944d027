#pragma once

#include <QByteArray>
#include <QCollator>
#include <QString>
#include <QStringList>

// The rules every list of text lines follows: command output, files and sorting.
namespace strlist {

// Cuts a text at every CR LF, lone CR and lone LF. One break at the very end starts no further line;
// an empty text gives no line.
QStringList fromText(QStringView text);
// Each line followed by CR LF, the last one too.
QString joined(const QStringList& lines);
// The byte-order mark our text files begin with.
inline constexpr char FileMark[] = "\xEF\xBB\xBF";
// Each line in UTF-8 followed by CR LF; a line's bytes depend on that line alone (a lone surrogate
// becomes U+FFFD).
QByteArray lineBytes(const QStringList& lines);
// A text file as we write it: the byte-order mark, then lineBytes.
QByteArray fileBytes(const QStringList& lines);
// Reads such a file back: a byte-order mark is skipped, invalid UTF-8 becomes U+FFFD.
QStringList fromFileBytes(const QByteArray& bytes);

// Every character a rich-text pane takes for a paragraph or frame break inside a text (U+2028, U+2029 and
// the noncharacters U+FDD0, U+FDD1) becomes a blank, so that the line stays one paragraph.
void blankParagraphBreaks(QString& line);

// Removes every leading and trailing character up to U+0020 (blanks and control characters).
QString trim(QStringView s);

// Case-insensitive tests fold case with the user's locale.
QString folded(QStringView s);
bool containsNoCase(QStringView haystack, QStringView needle);
bool startsWithNoCase(QStringView s, QStringView prefix);
bool endsWithNoCase(QStringView s, QStringView suffix);
bool equalsNoCase(QStringView a, QStringView b);

// Case-insensitive, locale-aware collation for the user's locale. Where the locale is C or POSIX (as on
// build machines) a real language collation stands in, so "apple" still sorts before "Zoom".
QCollator collator();
void sortNoCase(QStringList& lines);

} // namespace strlist
