#include "reports/phonereport.h"

#include "base/strlist.h"
#include "reports/csvexport.h"
#include "storage/parsing.h"
#include "storage/sizes.h"

#include <QHash>
#include <QLocale>
#include <QRegularExpression>
#include <QSet>

#include <cmath>
#include <limits>

namespace {

using reports::HealthSource;

constexpr qint64 Largest = std::numeric_limits<qint64>::max();

// "name: value" or, where equals says so, "name=value", whichever separator comes first; both sides trimmed.
std::optional<std::pair<QString, QString>> nameAndValue(const QString& line, bool equals) {
    qsizetype at = line.indexOf(u':');
    if (const qsizetype eq = equals ? line.indexOf(u'=') : -1; eq >= 0 && (at < 0 || eq < at))
        at = eq;
    if (at <= 0)
        return std::nullopt;
    return std::pair{strlist::trim(QStringView(line).left(at)), strlist::trim(QStringView(line).mid(at + 1))};
}

// Each name's first value: a later section may print a name again.
QHash<QString, QString> valuesOf(const QStringList& lines, bool equals) {
    QHash<QString, QString> values;
    for (const QString& line : lines)
        if (const auto pair = nameAndValue(line, equals); pair && !values.contains(pair->first))
            values.insert(pair->first, pair->second);
    return values;
}

// Newer makers' builds put a value in brackets: [86].
QStringView unbracketed(QStringView value) {
    if (value.size() >= 2 && value.front() == u'[' && value.back() == u']')
        return value.sliced(1, value.size() - 2);
    return value;
}

std::optional<qint64> integerOf(const QHash<QString, QString>& values, const QString& name) {
    const auto found = values.constFind(name);
    if (found == values.cend())
        return std::nullopt;
    return storage::wholeInteger(strlist::trim(unbracketed(*found)), -Largest, Largest);
}

// A number with "." or "," before its decimals (batterystats writes the phone's locale), and an optional unit.
std::optional<double> decimalOf(QStringView text, QStringView unit) {
    QString number = strlist::trim(text);
    if (!unit.isEmpty() && number.endsWith(unit))
        number = strlist::trim(QStringView(number).chopped(unit.size()));
    static const QRegularExpression shape(uR"(^-?\d{1,12}([.,]\d{1,9})?$)"_qs);
    if (!shape.match(number).hasMatch())
        return std::nullopt;
    return QLocale::c().toDouble(number.replace(u',', u'.'));
}

std::optional<double> within(std::optional<double> value, double lo, double hi) {
    if (value && *value >= lo && *value <= hi)
        return value;
    return std::nullopt;
}

std::optional<double> healthWithin(std::optional<double> percent) {
    return within(percent, reports::LowestHealth, reports::HighestHealth);
}

std::optional<double> designWithin(std::optional<double> mah) {
    return within(mah, reports::SmallestDesignMah, reports::LargestDesignMah);
}

std::optional<double> ratio(std::optional<double> part, std::optional<double> whole) {
    if (!part || !whole || *whole <= 0)
        return std::nullopt;
    return *part / *whole * 100;
}

std::optional<double> mahOfMicro(std::optional<qint64> uah) {
    if (!uah || *uah <= 0)
        return std::nullopt;
    return double(*uah) / 1000;
}

QString property(const QHash<QString, QString>& properties, const char16_t* key) {
    return strlist::trim(properties.value(QString::fromUtf16(key)));
}

void readIdentity(const QStringList& lines, reports::PhoneReport& report) {
    QHash<QString, QString> properties;
    for (const auto& [key, value] : reports::ReadProperties(lines))
        properties.insert(key, value);
    report.maker = property(properties, u"ro.product.manufacturer");
    report.brand = property(properties, u"ro.product.brand");
    report.model = property(properties, u"ro.product.model");
    report.device = property(properties, u"ro.product.device");
    report.serial = property(properties, u"ro.serialno");
    report.android = property(properties, u"ro.build.version.release");
    report.securityPatch = property(properties, u"ro.build.version.security_patch");
    report.fingerprint = property(properties, u"ro.build.fingerprint");
    report.verifiedBoot = property(properties, u"ro.boot.verifiedbootstate");
    if (const auto sdk = storage::wholeInteger(property(properties, u"ro.build.version.sdk"), 1, 1000))
        report.sdk = int(*sdk);
}

// which prints the path of su, nothing when there is none, and a shell without which complains.
std::optional<bool> readRooted(const QStringList& lines) {
    QStringList printed;
    for (const QString& line : lines)
        if (const QString trimmed = strlist::trim(line); !trimmed.isEmpty())
            printed.append(trimmed);
    if (printed.isEmpty())
        return false;
    if (printed.size() == 1 && printed[0].startsWith(u'/') && printed[0].endsWith(u"/su") && !printed[0].contains(u' '))
        return true;
    return std::nullopt;
}

// pm prints one "package:" line per app; an old pm that knows no -3 prints its usage instead.
std::optional<int> readPackages(const QStringList& lines) {
    int packages = 0;
    bool other = false;
    for (const QString& line : lines) {
        const QString trimmed = strlist::trim(line);
        if (trimmed.startsWith(u"package:"))
            ++packages;
        else if (!trimmed.isEmpty())
            other = true;
    }
    if (other && packages == 0)
        return std::nullopt;
    return packages;
}

bool isRamFileSystem(const QString& name) {
    static const QSet<QString> ram{u"tmpfs"_qs, u"ramfs"_qs, u"rootfs"_qs, u"none"_qs, u"devtmpfs"_qs};
    return ram.contains(name);
}

// The mount points old toolbox df shows for RAM file systems, and the module images of current systems.
bool isSystemMount(const QString& mount) {
    static const QSet<QString> exact{u"/dev"_qs, u"/mnt"_qs, u"/storage"_qs, u"/mnt/asec"_qs, u"/mnt/obb"_qs};
    static const QStringList below{u"/dev/"_qs, u"/sys/"_qs, u"/apex"_qs, u"/mnt/runtime/"_qs, u"/mnt/secure/"_qs};
    if (exact.contains(mount))
        return true;
    for (const QString& prefix : below)
        if (mount.startsWith(prefix))
            return true;
    return false;
}

bool isSize(const QString& token) {
    static const QRegularExpression shape(uR"(^\d+([.,]\d+)?[KMGTP]?$)"_qs, QRegularExpression::CaseInsensitiveOption);
    return shape.match(token).hasMatch();
}

// toybox counts 1K blocks; with -h, and in toolbox, a size carries its unit.
qint64 bytesOf(const QString& token, bool blocks) {
    if (blocks)
        if (const auto count = storage::wholeInteger(token, 0, Largest / 1024))
            return *count * 1024;
    return ConvertSizeToBytes(token);
}

std::optional<reports::Partition> readRow(const QString& line, QString& fileSystem) {
    if (strlist::endsWithNoCase(strlist::trim(line), u"Permission denied"))
        return std::nullopt;
    const QStringList tokens = storage::splitTokens(line, storage::Separators::BlankOrControl);
    // toybox: Filesystem Size Used Available Use% Mounted-on; toolbox: Filesystem Size Used Free Blksize,
    // its first column the mount point.
    const bool toybox = tokens.size() >= 6 && tokens[tokens.size() - 2].endsWith(u'%');
    if (toybox) {
        const qsizetype at = tokens.size() - 5;
        if (!isSize(tokens[at]) || !isSize(tokens[at + 1]) || !isSize(tokens[at + 2]))
            return std::nullopt;
        fileSystem = tokens.first(at).join(u' ');
        return reports::Partition{tokens.back(), bytesOf(tokens[at], true), bytesOf(tokens[at + 1], true),
                                  bytesOf(tokens[at + 2], true)};
    }
    if (tokens.size() < 5)
        return std::nullopt;
    const qsizetype at = tokens.size() - 4;
    if (!isSize(tokens[at]) || !isSize(tokens[at + 1]) || !isSize(tokens[at + 2]))
        return std::nullopt;
    fileSystem.clear();
    return reports::Partition{tokens.first(at).join(u' '), bytesOf(tokens[at], false), bytesOf(tokens[at + 1], false),
                              bytesOf(tokens[at + 2], false)};
}

// The code after "mType=" in a thermal line.
std::optional<int> thermalType(const QString& line) {
    const qsizetype at = line.indexOf(u"mType=");
    if (at < 0)
        return std::nullopt;
    const QStringView rest = QStringView(line).mid(at + 6);
    const qsizetype end = rest.indexOf(u',');
    if (const auto code = storage::wholeInteger(strlist::trim(rest.left(end)), -1000, 1000))
        return int(*code);
    return std::nullopt;
}

// The health service names its readings once per line; any other shape is not read.
void readHealthService(const QHash<QString, QString>& health, reports::PhoneReport& report) {
    if (const auto soh = integerOf(health, u"batteryStateOfHealth"_qs)) {
        if (const auto percent = healthWithin(double(*soh))) {
            report.healthPercent = percent;
            report.healthSource = HealthSource::HealthService;
        }
    }
    const auto full = mahOfMicro(integerOf(health, u"batteryFullChargeUah"_qs));
    const auto design = designWithin(mahOfMicro(integerOf(health, u"batteryFullChargeDesignCapacityUah"_qs)));
    if (design)
        report.designCapacityMah = design;
    // A full charge is a fact only where it can be one of a battery of that design.
    if (const auto percent = healthWithin(ratio(full, design))) {
        report.fullCapacityMah = full;
        if (report.healthSource == HealthSource::None) {
            report.healthPercent = percent;
            report.healthSource = HealthSource::HealthService;
        }
    }
    if (const auto cycles = integerOf(health, u"batteryCycleCount"_qs);
        cycles && *cycles >= 0 && *cycles <= reports::MostCycles) {
        report.cycles = int(*cycles);
        report.cyclesSource = HealthSource::HealthService;
    }
}

// Samsung keeps its own figures: the battery's state of health in percent, its use in cycles times 100.
void readMaker(const QHash<QString, QString>& battery, reports::PhoneReport& report) {
    if (report.healthSource == HealthSource::None) {
        if (const auto asoc = integerOf(battery, u"mSavedBatteryAsoc"_qs)) {
            if (const auto percent = healthWithin(double(*asoc))) {
                report.healthPercent = percent;
                report.healthSource = HealthSource::Maker;
            }
        }
    }
    if (report.cyclesSource == HealthSource::None) {
        if (const auto usage = integerOf(battery, u"mSavedBatteryUsage"_qs);
            usage && *usage >= 0 && *usage / 100 <= reports::MostCycles) {
            report.cycles = int(*usage / 100);
            report.cyclesSource = HealthSource::Maker;
        }
    }
}

// batterystats: the design value ("Estimated battery capacity", or the older "Capacity: N, Computed drain")
// and the measured one (the last learned, else the lowest learned: a buyer is better told the worse figure).
void readBatteryStats(const QStringList& lines, reports::PhoneReport& report) {
    std::optional<double> estimated, older, last, lowest, highest;
    for (const QString& line : lines) {
        const auto pair = nameAndValue(line, false);
        if (!pair)
            continue;
        const QString& name = pair->first;
        const QString& value = pair->second;
        const auto mah = [&value] { return decimalOf(value, u"mAh"); };
        if (name == u"Estimated battery capacity")
            estimated = mah();
        else if (name == u"Last learned battery capacity")
            last = mah();
        else if (name == u"Min learned battery capacity")
            lowest = mah();
        else if (name == u"Max learned battery capacity")
            highest = mah();
        else if (name == u"Capacity" && !older)
            older = decimalOf(QStringView(value).left(value.indexOf(u',')), {});
    }
    const auto design = designWithin(estimated ? estimated : older);
    if (!report.designCapacityMah)
        report.designCapacityMah = design;
    const auto learned = last ? last : lowest ? lowest : highest;
    if (report.healthSource != HealthSource::None || !learned || !design)
        return;
    if (const auto percent = healthWithin(ratio(learned, design))) {
        report.healthPercent = percent;
        report.healthSource = HealthSource::BatteryStats;
        report.fullCapacityMah = learned;
    }
}

// The charge held now against the level shows what a full charge holds. The counter is in µAh, but some
// makers print mAh: no phone battery holds 100 Ah, so a smaller figure is taken to be mAh.
void readEstimate(const QHash<QString, QString>& battery, reports::PhoneReport& report) {
    const auto counter = integerOf(battery, u"Charge counter"_qs);
    report.chargeCounterMah = within(
        counter ? std::optional<double>(*counter >= 100000 ? double(*counter) / 1000 : double(*counter)) : std::nullopt,
        1, reports::LargestDesignMah);
    if (!report.chargeCounterMah || report.healthSource != HealthSource::None || !report.level || *report.level < 15 ||
        !report.designCapacityMah)
        return;
    const double full = *report.chargeCounterMah * 100 / *report.level;
    if (const auto percent = healthWithin(ratio(full, report.designCapacityMah))) {
        report.healthPercent = percent;
        report.healthSource = HealthSource::Estimate;
        report.fullCapacityMah = full;
    }
}

} // namespace

namespace reports {

std::array<QString, OutputCount> ReportCommands(const catalogue::Target& phone) {
    return {catalogue::getprop(phone),
            catalogue::dumpsys(phone, u"battery"_qs),
            catalogue::batteryCapacities(phone),
            catalogue::dumpsys(phone, u"android.hardware.health.IHealth/default"_qs),
            catalogue::dumpsys(phone, u"thermalservice"_qs),
            catalogue::df(phone, false),
            catalogue::thirdPartyPackageNames(phone),
            catalogue::suPath(phone)};
}

QList<std::pair<QString, QString>> ReadProperties(const QStringList& lines) {
    QList<std::pair<QString, QString>> properties;
    bool open = false;
    for (const QString& line : lines) {
        if (open) {
            QString& value = properties.back().second;
            value += u'\n';
            value += line.endsWith(u']') ? line.chopped(1) : line;
            open = !line.endsWith(u']');
            continue;
        }
        const qsizetype close = line.indexOf(u"]: [");
        if (!line.startsWith(u'[') || close < 0)
            continue;
        const QString rest = line.mid(close + 4);
        open = !rest.endsWith(u']');
        properties.append({line.mid(1, close - 1), open ? rest : rest.chopped(1)});
    }
    return properties;
}

QList<Partition> ReadPartitions(const QStringList& lines) {
    QList<Partition> partitions;
    for (const QString& line : lines) {
        QString fileSystem;
        const std::optional<Partition> row = readRow(line, fileSystem);
        if (!row || row->size <= 0 || !row->mount.startsWith(u'/') || isRamFileSystem(fileSystem) ||
            isSystemMount(row->mount))
            continue;
        const bool seen = std::any_of(partitions.cbegin(), partitions.cend(),
                                      [&](const Partition& p) { return p.size == row->size && p.used == row->used; });
        if (!seen)
            partitions.append(*row);
    }
    return partitions;
}

QList<ThermalSensor> ReadThermal(const QStringList& lines) {
    QList<ThermalSensor> sensors;
    bool current = false;
    for (const QString& line : lines) {
        const QString trimmed = strlist::trim(line);
        if (trimmed.startsWith(u"Current temperatures from HAL")) {
            current = true;
            continue;
        }
        current = current && trimmed.startsWith(u"Temperature{");
        QString name, value;
        if (!current || !ParseThermalLine(trimmed, name, value))
            continue;
        // A sensor that is not there reads -99.9 on some phones.
        sensors.append({name, thermalType(trimmed), within(decimalOf(value, {}), -40, 150)});
    }
    return sensors;
}

void ReadBattery(const ReportOutputs& outputs, PhoneReport& report) {
    const QHash<QString, QString> battery = valuesOf(outputs[Battery], false);
    const auto scale = integerOf(battery, u"scale"_qs);
    if (const auto level = integerOf(battery, u"level"_qs); level && *level >= 0) {
        const qint64 percent = scale && *scale > 0 ? *level * 100 / *scale : *level;
        if (percent <= 100)
            report.level = int(percent);
    }
    if (const auto status = integerOf(battery, u"status"_qs); status && *status >= 1 && *status <= 5)
        report.status = int(*status);
    if (const auto health = integerOf(battery, u"health"_qs); health && *health >= 1 && *health <= 7)
        report.health = int(*health);
    if (const auto tenths = integerOf(battery, u"temperature"_qs); tenths && *tenths > -400 && *tenths < 1000)
        report.temperatureC = double(*tenths) / 10;
    if (const auto voltage = integerOf(battery, u"voltage"_qs); voltage && *voltage > 0 && *voltage < 100000)
        report.voltageMv = int(*voltage);
    report.technology = battery.value(u"technology"_qs);

    readHealthService(valuesOf(outputs[HealthService], true), report);
    readMaker(battery, report);
    readBatteryStats(outputs[BatteryStats], report);
    readEstimate(battery, report);
}

PhoneReport ReadPhoneReport(const ReportOutputs& outputs) {
    PhoneReport report;
    readIdentity(outputs[Properties], report);
    report.rooted = readRooted(outputs[SuPath]);
    ReadBattery(outputs, report);
    report.thermal = ReadThermal(outputs[Thermal]);
    report.storage = ReadPartitions(outputs[DiskFree]);
    report.thirdPartyApps = readPackages(outputs[Packages]);
    return report;
}

Partition StorageTotal(const PhoneReport& report) {
    Partition total;
    for (const Partition& p : report.storage) {
        total.size = storage::addSaturated(total.size, p.size);
        total.used = storage::addSaturated(total.used, p.used);
        total.free = storage::addSaturated(total.free, p.free);
    }
    return total;
}

} // namespace reports
