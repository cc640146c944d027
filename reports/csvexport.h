#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace bridge {
class Host;
}

namespace reports {

// Reads a thermal line such as Temperature{mValue=35.0, mType=0, mName=CPU0, mStatus=0}: true with the
// name and the value when both are found and non-empty; both are emptied first.
bool ParseThermalLine(const QString& S, QString& Name, QString& Val);

// The three columns of one CSV row.
struct CsvRow {
    QString label;
    QString sensor;
    QString value;
};

// What the export gathers for the summary block while it builds rows.
struct SummaryNotes {
    QStringList messages;
    bool imeiFound = false;
};

// The row one trimmed line of a category gives, if any. Identifier warnings and battery summaries go
// to notes; langFR chooses the language of the warnings.
std::optional<CsvRow> BuildRow(const QString& category, const QString& line, bool langFR, SummaryNotes& notes);

// A field as a spreadsheet reads it back: quoted, inner quotes doubled, when it holds the separator,
// a double quote, CR or LF; unchanged otherwise.
QString CsvField(const QString& field, const QString& separator);
QString CsvLine(const CsvRow& row, const QString& separator);

// The category as it may appear in a file name: blanks and every character a file system refuses
// become "_", and the first "PROPERTIES" becomes "Props".
QString SafeCategoryName(const QString& category);
// "DeviceInfoHW_" + safe name + suffix + ".csv": always one plain file name inside the output folder.
// A number above 1 goes before the suffix ("_2"), for a category whose safe name another one took.
// On Windows the name is also cut so that the whole path, in a folder of folderLength characters, stays
// within the 260 characters Windows takes.
QString CategoryFileName(const QString& category, const QString& suffix, int number = 1, qsizetype folderLength = 0);

struct CategoryRows {
    QString name; // as read from the header line
    QStringList lines;
};

struct CsvExport {
    QList<CategoryRows> categories; // the standard six first, in their fixed order, then the others
    QStringList summary;            // the IMEI notice first when no IMEI was found
};

// One file name per category, in order, none taken twice (letter case aside, as some file systems
// ignore it): a later category whose safe name is taken gets "_2", then "_3"...
QStringList CategoryFileNames(const QList<CategoryRows>& categories, const QString& suffix, qsizetype folderLength = 0);

// Splits the RAW dump's lines at their header lines and turns every line into CSV rows.
CsvExport SplitIntoCategories(const QStringList& rawLines, const QString& separator, bool langFR);

// Splits the RAW dump file of the output folder into one CSV file per category, fields separated by
// Separator, named with Suffix; false when the phone or the RAW dump is missing.
bool GenerateCategoryCSVs(bridge::Host& host, const QString& Separator, const QString& Suffix);
// The CSV files for LibreOffice (";", "_LibreOffice") and for Excel (",", "_Excel").
bool GenerateCSVLibreOffice(bridge::Host& host);
bool GenerateCSVExcel(bridge::Host& host);

} // namespace reports
