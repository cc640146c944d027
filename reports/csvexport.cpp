#include "reports/csvexport.h"

#include "base/files.h"
#include "base/messages.h"
#include "base/strlist.h"
#include "bridge/host.h"
#include "reports/keywords.h"
#include "reports/rawdump.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QLocale>
#include <QSet>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <vector>

namespace {

const Message RawMissing{"Error: RAW dump file (%1) is missing. Generate the RAW dump first.",
                         "Erreur : Le fichier RAW dump (%1) est manquant. Generez le RAW dump d'abord."};
const Message Heading{"--- Generating CSVs... ---", "--- Génération des CSV en cours... ---"};
const Message FileWritten{"%1 CSV written in folder: %2", "CSV %1 ecrit dans le dossier : %2"};
const Message SummaryHeading{"--- Frequently Searched Info ---", "--- Infos souvent recherchees ---"};
const Message SensitiveId{"[WARNING] Sensitive ID detected: %1 (%2)",
                          "[AVERTISSEMENT] Identifiant sensible detecte: %1 (%2)"};
const Message ImeiMissing{"[WARNING] IMEI not available (check phone UI)",
                          "[WARNING] IMEI non disponible (vérifiez l'interface utilisateur du téléphone)"};
const Message TemperatureNote{"Temperature: %1 °C / %2 °F", "Temperature: %1 °C / %2 °F"};
const Message VoltageNote{"Battery voltage: %1 V (%2 mV)", "Battery voltage: %1 V (%2 mV)"};
const Message PropertyColumn{"Property", "Propriete"};

const QString Battery = u"BATTERY"_qs;
const QString Thermal = u"THERMAL"_qs;
const QString Sensors = u"SENSORS"_qs;
const QString Cpu = u"CPU"_qs;
const QString Properties = u"SYSTEM PROPERTIES"_qs;
const QString Wifi = u"WIFI"_qs;

// The order the files are written in when these categories are present; any other category follows.
const QString* const StandardOrder[] = {&Battery, &Sensors, &Properties, &Wifi, &Thermal, &Cpu};

// Dashes and blanks have no letter case, so the exact test is the case-insensitive one.
bool isHeaderLine(const QString& line) {
    return line.startsWith(u"--- ") && line.endsWith(u" ---");
}

QString categoryOf(const QString& headerLine) {
    QString name = headerLine;
    name.remove(u"--- "_qs);
    name.remove(u" ---"_qs);
    if (strlist::startsWithNoCase(name, u"CPU/GPU"))
        return Cpu;
    return name;
}

// Splits "key: value" at the first colon; both sides trimmed.
void splitAtColon(const QString& line, QString& key, QString& value) {
    const qsizetype colon = line.indexOf(u':');
    key = strlist::trim(QStringView(line).left(colon));
    value = strlist::trim(QStringView(line).mid(colon + 1));
}

// A number in the user's regional format, as the battery service's values are read.
bool readRegionalNumber(const QString& text, double& number) {
    QLocale locale;
    locale.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    number = locale.toDouble(text, &ok);
    return ok && std::isfinite(number);
}

// The value held as a 32-bit float, as the battery summaries compute; false when a float cannot hold it.
bool asFloat(double value, float& result) {
    if (!(std::fabs(value) <= std::numeric_limits<float>::max()))
        return false;
    result = static_cast<float>(value);
    return true;
}

// The pattern "0.0" or "0.000": the given number of decimals rounded half away from zero, the user's
// decimal separator, no grouping. A float times a power of ten up to 1000 is exact in a double, so
// rounding the product rounds the float's own value.
QString formatFixed(float value, int decimals) {
    const double scaled = std::round(static_cast<double>(value) * std::pow(10.0, decimals));
    QString digits = QString::number(std::fabs(scaled), 'f', 0);
    if (digits.size() <= decimals)
        digits.prepend(QString(decimals + 1 - digits.size(), u'0'));
    QString text = digits.left(digits.size() - decimals) + QLocale().decimalPoint() + digits.right(decimals);
    if (scaled < 0)
        text.prepend(u'-');
    return text;
}

reports::CsvRow propertyRow(const QString& line, bool langFR, reports::SummaryNotes& notes) {
    const qsizetype close = line.indexOf(u"]:");
    QString sensor = strlist::trim(QStringView(line).mid(1, close - 1));
    QString value = strlist::trim(QStringView(line).mid(close + 2));
    if (value.startsWith(u'[') && value.endsWith(u']'))
        value = value.mid(1, value.size() - 2);
    static const reports::LocaleKeywords imeiKeys{u"imei", u"meid"};
    static const reports::LocaleKeywords serialKeys{u"serial"};
    const QString key = reports::foldForSearch(sensor);
    const bool imei = imeiKeys.containedIn(key);
    if (imei || serialKeys.containedIn(key))
        notes.messages.append(SensitiveId.in(langFR).arg(sensor, value));
    if (imei)
        notes.imeiFound = true;
    return {u"System"_qs, sensor, value};
}

reports::CsvRow batteryRow(const QString& line, bool langFR, reports::SummaryNotes& notes) {
    QString sensor;
    QString value;
    splitAtColon(line, sensor, value);
    double number = 0;
    if (strlist::equalsNoCase(sensor, u"temperature")) {
        sensor = u"Temperature C"_qs;
        // The battery service counts tenths of a degree Celsius.
        if (!value.isEmpty() && readRegionalNumber(value, number)) {
            float celsius = 0;
            float fahrenheit = 0;
            if (asFloat(number / 10, celsius) && asFloat(static_cast<double>(celsius) * 1.8 + 32, fahrenheit)) {
                value = formatFixed(celsius, 1);
                notes.messages.append(TemperatureNote.in(langFR).arg(value, formatFixed(fahrenheit, 1)));
            }
        }
    } else if (strlist::equalsNoCase(sensor, u"voltage")) {
        sensor = u"Voltage mV"_qs;
        if (!value.isEmpty() && readRegionalNumber(value, number)) {
            float volts = 0;
            if (asFloat(number / 1000, volts))
                notes.messages.append(VoltageNote.in(langFR).arg(formatFixed(volts, 3), value));
        }
    }
    return {u"Battery"_qs, sensor, value};
}

reports::CsvRow sensorRow(const QString& line) {
    const qsizetype at = line.indexOf(u"name=");
    if (at < 0)
        return {u"Sensors"_qs, line, QString()};
    QStringView name = QStringView(line).mid(at + 5);
    const qsizetype comma = name.indexOf(u',');
    if (comma >= 0)
        name = name.left(comma);
    return {u"Sensors"_qs, strlist::trim(name), u"Detected"_qs};
}

// Characters that no file name may hold on the systems our users have, besides control characters.
bool forbiddenInFileName(QChar c) {
    return c.category() == QChar::Other_Control || QStringView(u"\\/:*?\"<>|").contains(c);
}

} // namespace

namespace reports {

bool ParseThermalLine(const QString& S, QString& Name, QString& Val) {
    Name.clear();
    Val.clear();
    if (!S.contains(u"mValue=") || !S.contains(u"mName="))
        return false;
    qsizetype p1 = S.indexOf(u"mValue=");
    qsizetype p2 = S.indexOf(u',', p1);
    if (p2 >= 0)
        Val = strlist::trim(QStringView(S).mid(p1 + 7, p2 - (p1 + 7)));
    p1 = S.indexOf(u"mName=");
    p2 = S.indexOf(u',', p1);
    // Without a comma after it the name runs up to the closing brace, which is taken to be the last character.
    if (p2 < 0)
        p2 = S.size() - 1;
    const qsizetype start = p1 + 6;
    Name = strlist::trim(QStringView(S).mid(start, std::max<qsizetype>(0, p2 - start)));
    Name.remove(u'}');
    return !Name.isEmpty() && !Val.isEmpty();
}

std::optional<CsvRow> BuildRow(const QString& category, const QString& line, bool langFR, SummaryNotes& notes) {
    if (category == Properties) {
        if (line.startsWith(u'[') && line.contains(u"]:"))
            return propertyRow(line, langFR, notes);
    } else if (category == Battery) {
        if (line.contains(u':'))
            return batteryRow(line, langFR, notes);
    } else if (category == Wifi) {
        if (line.contains(u':')) {
            CsvRow row{u"WiFi"_qs, QString(), QString()};
            splitAtColon(line, row.sensor, row.value);
            return row;
        }
    } else if (category == Thermal) {
        CsvRow row{u"Thermal"_qs, QString(), QString()};
        if (!ParseThermalLine(line, row.sensor, row.value))
            row = {u"Thermal"_qs, line, QString()};
        return row;
    } else if (category == Sensors) {
        return sensorRow(line);
    } else if (category == Cpu) {
        return CsvRow{u"CPU"_qs, line, QString()};
    }
    return std::nullopt;
}

QString CsvField(const QString& field, const QString& separator) {
    const bool plain =
        std::none_of(field.begin(), field.end(), [](QChar c) { return c == u'"' || c == u'\r' || c == u'\n'; }) &&
        !field.contains(separator);
    if (plain)
        return field;
    QString quoted = field;
    quoted.replace(u"\""_qs, u"\"\""_qs);
    return u'"' + quoted + u'"';
}

QString CsvLine(const CsvRow& row, const QString& separator) {
    const QString fields[] = {CsvField(row.label, separator), CsvField(row.sensor, separator),
                              CsvField(row.value, separator)};
    QString line;
    line.reserve(fields[0].size() + fields[1].size() + fields[2].size() + 2 * separator.size());
    line += fields[0];
    line += separator;
    line += fields[1];
    line += separator;
    line += fields[2];
    return line;
}

QString SafeCategoryName(const QString& category) {
    QString name = category;
    name.replace(u' ', u'_');
    const qsizetype at = name.indexOf(u"PROPERTIES", 0, Qt::CaseInsensitive);
    if (at >= 0)
        name.replace(at, 10, u"Props"_qs);
    for (QChar& c : name)
        if (forbiddenInFileName(c))
            c = u'_';
    return name;
}

QString CategoryFileName(const QString& category, const QString& suffix, int number, qsizetype folderLength) {
    const QString prefix = u"DeviceInfoHW_"_qs;
    const QString extension = (number > 1 ? u'_' + QString::number(number) : QString()) + suffix + u".csv"_qs;
    // File systems take 255 bytes a name; a header line the phone printed may be much longer.
    const qsizetype room = 255 - (prefix + extension).toUtf8().size();
    QString name = SafeCategoryName(category);
#ifdef Q_OS_WIN
    // A path has at most 259 characters, the separator and the 7 of the file's temporary name included.
    const qsizetype pathRoom = 259 - folderLength - 1 - 7 - (prefix + extension).size();
    if (name.size() > pathRoom) {
        qsizetype keep = std::max<qsizetype>(0, pathRoom);
        if (keep > 0 && name[keep - 1].isHighSurrogate())
            --keep;
        name.truncate(keep);
    }
#else
    Q_UNUSED(folderLength)
#endif
    if (name.toUtf8().size() > room) {
        qsizetype bytes = 0;
        qsizetype end = 0;
        while (end < name.size()) {
            const qsizetype step = name[end].isHighSurrogate() && end + 1 < name.size() ? 2 : 1;
            const qsizetype width = name.mid(end, step).toUtf8().size();
            if (bytes + width > room)
                break;
            bytes += width;
            end += step;
        }
        name.truncate(end);
    }
    return prefix + name + extension;
}

QStringList CategoryFileNames(const QList<CategoryRows>& categories, const QString& suffix, qsizetype folderLength) {
    QStringList names;
    QSet<QString> taken;
    for (const CategoryRows& category : categories) {
        QString name;
        for (int number = 1; name.isEmpty() || taken.contains(name.toCaseFolded()); ++number)
            name = CategoryFileName(category.name, suffix, number, folderLength);
        taken.insert(name.toCaseFolded());
        names.append(name);
    }
    return names;
}

CsvExport SplitIntoCategories(const QStringList& rawLines, const QString& separator, bool langFR) {
    QList<CategoryRows> found;
    QHash<QString, qsizetype> index;
    SummaryNotes notes;
    QString current;
    qsizetype currentIndex = -1;
    for (const QString& rawLine : rawLines) {
        // Most lines need no trimming; they are then shared, not copied.
        const bool untrimmed =
            !rawLine.isEmpty() && rawLine.front().unicode() > 0x20 && rawLine.back().unicode() > 0x20;
        const QString line = untrimmed ? rawLine : strlist::trim(rawLine);
        if (line.isEmpty())
            continue;
        if (isHeaderLine(line)) {
            current = categoryOf(line);
            const auto it = index.constFind(current);
            if (it != index.constEnd()) {
                currentIndex = *it;
                continue;
            }
            const QString column = current == Properties ? PropertyColumn.in(langFR) : u"Sensor"_qs;
            currentIndex = found.size();
            index.insert(current, currentIndex);
            found.append({current, {CsvLine({u"Category"_qs, column, u"Value"_qs}, separator)}});
            continue;
        }
        if (current.isEmpty())
            continue;
        if (const std::optional<CsvRow> row = BuildRow(current, line, langFR, notes))
            found[currentIndex].lines.append(CsvLine(*row, separator));
    }
    if (!notes.imeiFound)
        notes.messages.prepend(ImeiMissing.in(langFR));

    CsvExport result;
    result.summary = notes.messages;
    for (const QString* name : StandardOrder)
        if (const auto it = index.constFind(*name); it != index.constEnd())
            result.categories.append(found[*it]);
    for (const CategoryRows& category : found)
        if (std::find_if(std::begin(StandardOrder), std::end(StandardOrder), [&category](const QString* name) {
                return *name == category.name;
            }) == std::end(StandardOrder))
            result.categories.append(category);
    return result;
}

bool GenerateCategoryCSVs(bridge::Host& host, const QString& Separator, const QString& Suffix) {
    if (!host.IsDeviceConnected())
        return false;
    const QString folderPath = host.outputFolder();
    const QDir folder(folderPath);
    const QString rawPath = folder.filePath(QString::fromUtf16(RawDumpFileName));
    if (!QFileInfo(rawPath).isFile()) {
        host.write(bridge::Kind::Failure, host.text(RawMissing).arg(files::shown(rawPath)));
        return false;
    }
    const QStringList rawLines = strlist::fromFileBytes(files::readWholeFile(rawPath));
    host.write(bridge::Kind::Heading, host.text(Heading));
    host.blank();

    const CsvExport result = SplitIntoCategories(rawLines, Separator, host.langFR());
    host.blank();
    const QString shownFolder = files::shown(folderPath);
    const QStringList fileNames = CategoryFileNames(result.categories, Suffix, folderPath.size());
    // The files of one export replace the earlier ones together, once every one of them is on the disk: a full
    // disk or a cancel leaves the earlier set whole.
    std::vector<std::unique_ptr<files::WholeFileWriter>> writers;
    for (qsizetype i = 0; i < result.categories.size(); ++i) {
        writers.push_back(std::make_unique<files::WholeFileWriter>(folder.filePath(fileNames[i])));
        writers.back()->write(strlist::fileBytes(result.categories[i].lines));
    }
    host.stopIfCancelled();
    for (const auto& writer : writers)
        writer->checkReplaceable();
    for (const auto& writer : writers)
        writer->commit();
    for (qsizetype i = 0; i < result.categories.size(); ++i) {
        const CategoryRows& category = result.categories[i];
        QString written = host.text(FileWritten).arg(category.name, shownFolder);
        // A category that could not have its usual file name says which file holds it.
        if (fileNames[i] != CategoryFileName(category.name, Suffix))
            written += u" ("_qs + fileNames[i] + u')';
        host.write(bridge::Kind::Result, written);
    }
    if (result.summary.isEmpty())
        return true;
    host.blank();
    host.write(bridge::Kind::Section, host.text(SummaryHeading));
    host.writeLines(bridge::Kind::Finding, result.summary);
    return true;
}

bool GenerateCSVLibreOffice(bridge::Host& host) {
    return GenerateCategoryCSVs(host, u";"_qs, u"_LibreOffice"_qs);
}

bool GenerateCSVExcel(bridge::Host& host) {
    return GenerateCategoryCSVs(host, u","_qs, u"_Excel"_qs);
}

} // namespace reports
