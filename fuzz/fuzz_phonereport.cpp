// The phone report from any text given as every command's output, and its page and JSON document.
#include "base/strlist.h"
#include "fuzzcheck.h"
#include "reports/phonereport.h"
#include "reports/reportrender.h"

#include <QJsonDocument>

namespace {

template <typename T> bool within(const std::optional<T>& value, double lo, double hi) {
    return !value || (double(*value) >= lo && double(*value) <= hi);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QStringList lines = strlist::fromText(textOf(data, size));
    reports::ReportOutputs outputs;
    outputs.fill(lines);
    const reports::PhoneReport report = reports::ReadPhoneReport(outputs);
    require(within(report.healthPercent, reports::LowestHealth, reports::HighestHealth),
            "a health percent is in range or none");
    require(report.healthPercent.has_value() == (report.healthSource != reports::HealthSource::None),
            "a health percent always says its source");
    require(within(report.designCapacityMah, reports::SmallestDesignMah, reports::LargestDesignMah),
            "a design capacity is one a phone can have");
    require(within(report.cycles, 0, reports::MostCycles) && within(report.level, 0, 100), "cycles and level in range");
    for (const reports::Partition& p : report.storage)
        require(p.size > 0 && p.mount.startsWith(u'/'), "a partition has a size and a mount point");

    const QDateTime now = QDateTime::currentDateTime();
    QJsonParseError error;
    const QJsonDocument json = QJsonDocument::fromJson(reports::ReportJsonBytes(report, now), &error);
    require(error.error == QJsonParseError::NoError && json.object().value(u"schema"_qs).toInt() == 1,
            "the JSON document parses");
    require(json.object().value(u"phone"_qs).toObject().value(u"model"_qs).toString() == report.model,
            "the model reads back as the phone gave it");
    const QString page = reports::ReportPage(report, size % 2 == 1, now);
    QStringList texts{report.model, report.maker, report.fingerprint, report.technology};
    for (const reports::ThermalSensor& s : report.thermal)
        texts.append(s.name);
    for (const reports::Partition& p : report.storage)
        texts.append(p.mount);
    for (const QString& text : texts)
        require(!text.contains(u'<') || !page.contains(text), "text from the phone never opens a tag");
    return 0;
}
