#pragma once

#include "reports/phonereport.h"

#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

// The phone report drawn three ways: the page a person reads, the JSON document scripts read, and the
// inventory of many phones (a CSV row and a line of an index page per phone).
namespace reports {

// The page: one self-contained HTML file (inline style and SVG, no script, nothing fetched), in English or
// French. Every text from the phone is escaped.
QString ReportPage(const PhoneReport& report, bool langFR, const QDateTime& generated);

// The JSON document; its words are English whatever the language, null where the phone gave nothing.
QJsonObject ReportJson(const PhoneReport& report, const QDateTime& generated);
QByteArray ReportJsonBytes(const PhoneReport& report, const QDateTime& generated);

// The words and numbers the page and the log share.
QString NotReported(bool langFR);
QString SourceWords(HealthSource source, bool langFR);
QString PercentText(double percent, bool langFR);

// The phones of an inventory, each page's path relative to the inventory's folder.
using InventoryEntry = ReportFile;
inline constexpr char16_t InventoryTable[] = u"phones.csv";
inline constexpr char16_t InventoryIndex[] = u"index.html";

// phones.csv: a heading row, then one row per phone, fields separated by commas (RFC 4180).
QStringList InventoryRows(const QList<InventoryEntry>& phones, bool langFR);
// index.html: one line per phone, linking its page.
QString InventoryPage(const QList<InventoryEntry>& phones, bool langFR, const QDateTime& generated);
// Writes phones.csv and index.html into folder, both or neither. Raises TelvaneError.
void WriteInventory(const QString& folder, const QList<InventoryEntry>& phones, bool langFR);

} // namespace reports
