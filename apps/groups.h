#pragma once

#include <QString>
#include <QStringView>

class TextPane;

namespace apps {

// A log line is ticked when it begins with the heavy check mark and a blank.
inline constexpr QStringView CheckedChar = u"✔ ";

// A line of the groups pane heads a group when, trimmed, it begins with "--- ".
bool isGroupHeader(QStringView line);
// "--- NAME ---" for a group name: only the ASCII letters a to z are upper-cased.
QString groupHeader(QStringView name);

} // namespace apps

// Sorts the lines of the group headed by line GroupHeaderIndex of RE, case-insensitively for the user's
// locale; each line keeps its own look. A negative index does nothing.
void SortGroupInRichEdit(TextPane* RE, int GroupHeaderIndex);
