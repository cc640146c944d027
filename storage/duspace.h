#pragma once

#include <QString>
#include <QStringList>

#include "bridge/catalogue.h"

namespace bridge {
class Host;
}

namespace storage {

// Finds the size in du's output: the first field of the first line that holds a "/", does not start
// with "du: " (letter case aside), has at least two fields, and whose first field starts with a digit.
// Returns whether one was found; SizeStr is that field, else the first field of the last line refused
// for a "/" in it, else empty.
bool findDuSize(const QStringList& lines, QString& SizeStr);

// Logs the du size of Path, labelled CmdLabel; SizeStr as findDuSize leaves it.
bool GetDuSizeAndLog(bridge::Host& host, const catalogue::Target& adb, const QString& Path, const QString& CmdLabel,
                     const QString& ErrorOrAccessDeniedMsg, QString& SizeStr);
// The space apps and media take (du -sh of the apps folder and the main media folders), with a summary.
bool CalculateAppsAndMediaSpace(bridge::Host& host);

} // namespace storage
