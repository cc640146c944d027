#pragma once

#include <QString>
#include <QStringView>

// The version we run, and the text the update server gave at start-up (empty until a fetch succeeds).
extern QString CurrentVersion;
extern QString ServerVersion;

namespace update {

inline constexpr char VersionPath[] = "/Softwares/Telvane/Version.txt";

// Whether the server's answer, trimmed, names a later version than current. Dot-separated parts compare
// as numbers (2.0.9 < 2.0.15 < 2.0.100), a part that is not a number as text, and a missing part counts
// as 0. An answer that does not look like a version (empty, blanks inside, an HTML page) is never newer.
bool isNewerVersion(QStringView latest, QStringView current);

} // namespace update
