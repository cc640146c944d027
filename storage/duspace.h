#pragma once

#include <QString>
#include <QStringList>

namespace storage {

// Finds the size in du's output: the first field of the first line that holds a "/", does not start
// with "du: " (letter case aside) nor with the runner's "ERROR: ", has at least two fields, and whose
// first field is not empty and holds no "/".
// Returns whether one was found; SizeStr is that field, else the first field of the last line refused
// for a "/" in it, else empty.
bool findDuSize(const QStringList& lines, QString& SizeStr);

} // namespace storage
