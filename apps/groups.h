#pragma once

#include <QColor>
#include <QString>
#include <QStringView>

namespace apps {

// A log line is ticked when it begins with the heavy check mark and a blank.
inline constexpr QStringView CheckedChar = u"✔ ";

// How a group's header line looks in the groups pane: red, 14 points, bold.
inline constexpr QRgb HeaderColor = 0xFF0000;
inline constexpr int HeaderSize = 14;

// A line of the groups pane heads a group when, trimmed, it begins with "--- ".
bool isGroupHeader(QStringView line);
// "--- NAME ---" for a group name: only the ASCII letters a to z are upper-cased.
QString groupHeader(QStringView name);

} // namespace apps
