#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

class TextPane;

// Trims S (every character up to U+0020 at both ends) and collapses runs of blanks to one blank; tabs
// inside stay.
void NormalizeSpaces(QString& S);
// S in a field of AWidth characters: padded with blanks on the right, or cut at the end.
QString AdjustLeft(const QString& S, int AWidth);
// S in a field of AWidth characters: padded with blanks on the left, or cut at the beginning.
QString AdjustRight(const QString& S, int AWidth);

// Builds the df table from the command's lines and makes it the whole content of RE, in a monospaced
// 10 pt font without wrapping, which RE keeps from then on.
void ShowDFOutput(const QStringList& RawLines, TextPane* RE);

namespace storage {

// Filesystem, Size, Used, Free, Blksize.
using DfRow = std::array<QString, 5>;

// The row of one df line: the last four fields fill the four size columns, all fields before them the
// name. No row for a line ending in "Permission denied" or holding fewer than five fields.
std::optional<DfRow> dfRow(const QString& rawLine);

// Heading, rule, then one line per row in the order of the raw lines; columns joined by "|".
QStringList dfTableLines(const QStringList& rawLines);

// Consolas 10 pt, or the system's monospaced font at 10 pt where Consolas is not installed.
QFont dfTableFont();

} // namespace storage
