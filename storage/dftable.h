#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <optional>

namespace bridge {
class Host;
}

// Trims S (every character up to U+0020 at both ends) and collapses runs of blanks to one blank; tabs
// inside stay.
void NormalizeSpaces(QString& S);
// S in a field of AWidth characters: padded with blanks on the right, or cut at the end.
QString AdjustLeft(const QString& S, int AWidth);
// S in a field of AWidth characters: padded with blanks on the left, or cut at the beginning.
QString AdjustRight(const QString& S, int AWidth);

namespace storage {

// Filesystem, Size, Used, Free, Blksize.
using DfRow = std::array<QString, 5>;

// The row of one df line: the last four fields fill the four size columns, all fields before them the
// name. No row for a line ending in "Permission denied" or holding fewer than five fields.
std::optional<DfRow> dfRow(const QString& rawLine);

// Heading, rule, then one line per row in the order of the raw lines; columns joined by "|".
QStringList dfTableLines(const QStringList& rawLines);

// Shows the phone's global disk space (df) as a table.
bool CalculateGlobalDiskSpace(bridge::Host& host);

} // namespace storage
