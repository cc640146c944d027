#pragma once

#include "bridge/catalogue.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

namespace bridge {
class Host;
}

// The phone at a glance: what the report's commands printed, read into one value that the page, the JSON
// document and the inventory row are drawn from. Every value the phone did not give stays empty (an empty
// text, an empty optional): it is shown as not reported, never as 0.
namespace reports {

inline constexpr char16_t PhoneReportPage[] = u"DeviceReport.html";
inline constexpr char16_t PhoneReportData[] = u"DeviceReport.json";

// Where the battery health comes from, best first.
enum class HealthSource { None, HealthService, Maker, BatteryStats, Estimate };

struct ThermalSensor {
    QString name;
    std::optional<int> type; // the HAL's type code as printed; makers number them differently
    std::optional<double> celsius;
};

struct Partition {
    QString mount;
    qint64 size = 0;
    qint64 used = 0;
    qint64 free = 0;
};

struct PhoneReport {
    QString maker, brand, model, device, serial, android, securityPatch, fingerprint, verifiedBoot;
    std::optional<int> sdk;
    std::optional<bool> rooted;

    std::optional<int> level;  // percent
    std::optional<int> status; // BatteryManager's status code, 1 to 5
    std::optional<int> health; // BatteryManager's health code, 1 to 7
    std::optional<double> temperatureC;
    std::optional<int> voltageMv;
    QString technology;
    std::optional<double> chargeCounterMah;
    std::optional<double> designCapacityMah;
    std::optional<double> fullCapacityMah;
    std::optional<double> healthPercent;
    HealthSource healthSource = HealthSource::None;
    std::optional<int> cycles;
    HealthSource cyclesSource = HealthSource::None; // None, HealthService or Maker

    QList<ThermalSensor> thermal;
    QList<Partition> storage;
    std::optional<int> thirdPartyApps;
};

// The outputs of the report's commands, in the order of ReportCommands.
enum Output { Properties, Battery, BatteryStats, HealthService, Thermal, DiskFree, Packages, SuPath, OutputCount };
using ReportOutputs = std::array<QStringList, OutputCount>;

// The command lines of the report, one per output.
std::array<QString, OutputCount> ReportCommands(const catalogue::Target& phone);

// The whole report from the commands' outputs; any output may be empty, cut short or a complaint.
PhoneReport ReadPhoneReport(const ReportOutputs& outputs);

// The pieces ReadPhoneReport is made of.
// getprop's [key]: [value] lines; a value may run over several lines.
QList<std::pair<QString, QString>> ReadProperties(const QStringList& lines);
// df's rows in either layout (toolbox: name Size Used Free Blksize; toybox: Filesystem 1K-blocks Used
// Available Use% Mounted on), sizes read as the storage panels read them. Kept: the partitions that hold
// storage, each once; left out: RAM file systems, the system's module images (/apex) and a row that
// repeats an earlier one's size and use (the same storage seen at another mount point).
QList<Partition> ReadPartitions(const QStringList& lines);
// The temperatures of the "Current temperatures from HAL" block (the cached block may be stale).
QList<ThermalSensor> ReadThermal(const QStringList& lines);
// The rest of the battery, its health and its cycle count from the best source there is; a value
// outside what a battery can be is left out.
void ReadBattery(const ReportOutputs& outputs, PhoneReport& report);

// Bounds of what a battery can be.
inline constexpr double LowestHealth = 10;
inline constexpr double HighestHealth = 130;
inline constexpr double SmallestDesignMah = 500;
inline constexpr double LargestDesignMah = 30000;
inline constexpr int MostCycles = 10000;

// The total of the partitions: size and use.
Partition StorageTotal(const PhoneReport& report);

// A report, the path of its page and when it was written.
struct ReportFile {
    PhoneReport report;
    QString page;
    QDateTime generated;
};

// Reads the phone's report, writes DeviceReport.html and DeviceReport.json into the output folder and
// shows the page; false when no phone could be read.
bool GeneratePhoneReport(bridge::Host& host);
// The same without showing the page: the report written, or nothing when no phone could be read.
std::optional<ReportFile> WritePhoneReport(bridge::Host& host);

} // namespace reports
