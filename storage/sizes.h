#pragma once

#include <QString>
#include <QStringView>

#include <array>

// Unit texts of FormatBytes, octet-based in both languages: o, Ko, Mo, Go, To, Po.
inline constexpr std::array<QStringView, 6> Suffixes{u"o", u"Ko", u"Mo", u"Go", u"To", u"Po"};

// Reads a size as du -sh prints it (1.5G, 512K, 0, 1,5G) as a byte count. Text holding no readable number
// gives 0; a count beyond the signed 64-bit range stops at its largest or smallest value.
qint64 ConvertSizeToBytes(QStringView SizeStr);

// A byte count as a short text with one decimal and a unit ("1.5 Go"); French writes "," for ".".
QString FormatBytes(qint64 Bytes, bool LangFR);

namespace storage {

// a + b, held at the largest or smallest value instead of overflowing.
qint64 addSaturated(qint64 a, qint64 b);

} // namespace storage
