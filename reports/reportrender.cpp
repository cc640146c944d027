#include "reports/reportrender.h"

#include "base/errors.h"
#include "base/files.h"
#include "base/messages.h"
#include "base/strlist.h"
#include "reports/csvexport.h"
#include "storage/sizes.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLocale>
#include <QUrl>

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>

namespace {

using reports::HealthSource;
using reports::PhoneReport;

const Message Title{"Phone report", "Rapport du téléphone"};
const Message Missing{"not reported by this phone", "non fourni par ce téléphone"};
const Message Identity{"Phone", "Téléphone"};
const Message Maker{"Maker", "Fabricant"};
const Message Brand{"Brand", "Marque"};
const Message Model{"Model", "Modèle"};
const Message Device{"Device", "Appareil"};
const Message Serial{"Serial number", "Numéro de série"};
const Message Android{"Android", "Android"};
const Message Sdk{"SDK", "SDK"};
const Message SecurityPatch{"Security patch", "Correctif de sécurité"};
const Message Fingerprint{"Build fingerprint", "Empreinte du système"};
const Message Battery{"Battery", "Batterie"};
const Message BatteryHealth{"Battery health", "Santé de la batterie"};
const Message SourceLine{"Source: %1", "Source : %1"};
const Message Cycles{"Charge cycles", "Cycles de charge"};
const Message Level{"Level", "Niveau"};
const Message Status{"Status", "État"};
const Message Condition{"Condition", "Condition"};
const Message Temperature{"Temperature", "Température"};
const Message Voltage{"Voltage", "Tension"};
const Message Technology{"Technology", "Technologie"};
const Message DesignCapacity{"Design capacity", "Capacité d'origine"};
const Message FullCapacity{"Full charge capacity", "Capacité à pleine charge"};
const Message ChargeCounter{"Charge held now", "Charge actuelle"};
const Message Storage{"Storage", "Stockage"};
const Message Total{"Total", "Total"};
const Message UsedOf{"%1 used of %2 (%3)", "%1 utilisés sur %2 (%3)"};
const Message Temperatures{"Temperatures", "Températures"};
const Message Security{"Apps and security", "Applications et sécurité"};
const Message ThirdPartyApps{"Third-party apps", "Applications tierces"};
const Message Rooted{"Rooted", "Rooté"};
const Message VerifiedBoot{"Verified boot", "Démarrage vérifié"};
const Message Yes{"yes", "oui"};
const Message No{"no", "non"};
const Message Footer{"Written on %1 by Telvane %2, from what the phone reports about itself.",
                     "Écrit le %1 par Telvane %2, d'après ce que le téléphone dit de lui-même."};
const Message Phones{"Phones", "Téléphones"};
const Message PhonesRead{"Phones read: %1", "Téléphones lus : %1"};

const Message SourceWordList[] = {{"", ""},
                                  {"the phone's health service", "le service de santé du téléphone"},
                                  {"the maker's own reading", "le relevé du fabricant"},
                                  {"learned capacity in batterystats", "la capacité apprise dans batterystats"},
                                  {"estimate from the charge held now", "estimation d'après la charge actuelle"}};
const char* const SourceNames[] = {nullptr, "health-service", "maker", "batterystats", "estimate"};
// BatteryManager's codes, from 1.
const Message StatusWords[] = {{"unknown", "inconnu"},
                               {"charging", "en charge"},
                               {"discharging", "en décharge"},
                               {"not charging", "pas en charge"},
                               {"full", "pleine"}};
const Message HealthWords[] = {
    {"unknown", "inconnue"},        {"good", "bonne"},          {"overheat", "surchauffe"}, {"dead", "morte"},
    {"over voltage", "surtension"}, {"failure", "défaillance"}, {"cold", "froide"}};

const QString Version = QStringLiteral(TELVANE_VERSION);

QLocale numbersOf(bool langFR) {
    QLocale locale(langFR ? QLocale::French : QLocale::English, langFR ? QLocale::France : QLocale::UnitedStates);
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale;
}

double rounded(double value) {
    return std::round(value * 10) / 10;
}

// Text from the phone in the page: control characters blanked, cut when very long, then escaped.
QString outside(const QString& text) {
    QString shown = outsideText(text);
    for (QChar& c : shown)
        if (c.category() == QChar::Other_Control)
            c = u' ';
    return shown.toHtmlEscaped();
}

// The page's words in one language, and its numbers as the log writes them there.
class Page {
public:
    explicit Page(bool langFR) : langFR_(langFR), numbers_(numbersOf(langFR)) {}
    QString t(const Message& m) const { return QString(m.in(langFR_)).toHtmlEscaped(); }
    QString missing() const { return u"<span class=\"missing\">"_qs + t(Missing) + u"</span>"_qs; }
    QString number(double value, int decimals) const { return numbers_.toString(value, 'f', decimals); }
    QString percent(double value) const { return reports::PercentText(value, langFR_); }
    QString bytes(qint64 value) const { return FormatBytes(value, langFR_).replace(u' ', u'\u00A0'); }
    template <typename T> QString or_(const std::optional<T>& value, const std::function<QString(T)>& shown) const {
        return value ? shown(*value) : missing();
    }
    QString text(const QString& value) const { return value.isEmpty() ? missing() : outside(value); }
    QString row(const Message& label, const QString& value) const {
        return u"<tr><th>"_qs + t(label) + u"</th><td>"_qs + value + u"</td></tr>\n"_qs;
    }
    QString date(const QDateTime& when) const {
        const QDateTime local = when.toLocalTime();
        return (numbers_.toString(local.date(), QLocale::LongFormat) + u", "_qs + local.time().toString(u"HH:mm"))
            .toHtmlEscaped();
    }
    bool fr() const { return langFR_; }

private:
    bool langFR_;
    QLocale numbers_;
};

const char* const Style = R"(<style>
@page { size: A4; margin: 14mm; }
* { box-sizing: border-box; }
body { font-family: "DejaVu Sans", Arial, sans-serif; color: #1d2733; margin: 0 auto; max-width: 48em;
       padding: 1.5em; font-size: 10.5pt; line-height: 1.35; }
header { border-bottom: 3px solid #0b7a75; padding-bottom: .6em; margin-bottom: 1em; }
h1 { font-size: 1.7em; margin: 0; overflow-wrap: anywhere; }
header p { margin: .2em 0 0; color: #52606d; overflow-wrap: anywhere; }
h2 { font-size: 1.15em; color: #0b7a75; margin: 1.2em 0 .4em; break-after: avoid; }
section { break-inside: avoid; }
table { border-collapse: collapse; width: 100%; }
th, td { text-align: left; vertical-align: top; padding: .18em .5em .18em 0; overflow-wrap: anywhere; }
th { font-weight: 600; width: 34%; color: #3e4c59; }
.missing { color: #8a96a3; font-style: italic; }
.list th { width: auto; border-bottom: 1px solid #9aa5b1; }
.list th, .list td { padding-right: 1.5em; }
.battery { display: flex; gap: 1.5em; align-items: flex-start; }
.gauge { flex: 0 0 13em; text-align: center; }
.gauge p { margin: .2em 0; font-size: .9em; color: #3e4c59; }
.bars td { padding: .25em .5em .25em 0; }
.bars th { width: 30%; font-weight: normal; }
.bars .total th, .bars .total td { font-weight: 600; border-top: 1px solid #9aa5b1; }
.bar { width: 100%; height: 12px; display: block; }
.size { white-space: nowrap; width: 38%; font-size: .92em; }
.sensors { display: grid; grid-template-columns: repeat(3, 1fr); gap: .15em 1.5em; }
.sensors div { display: flex; justify-content: space-between; gap: .5em; border-bottom: 1px dotted #cbd2d9; }
.sensors span { overflow-wrap: anywhere; }
footer { margin-top: 2em; border-top: 1px solid #cbd2d9; padding-top: .5em; font-size: .85em; color: #52606d; }
</style>)";

QString head(const Page& page, const QString& title) {
    return u"<!DOCTYPE html>\n<html lang=\""_qs + (page.fr() ? u"fr"_qs : u"en"_qs) +
           u"\">\n<head>\n<meta charset=\"utf-8\">\n"
           "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; style-src 'unsafe-inline'\">\n"
           "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>"_qs +
           title + u"</title>\n"_qs + QString::fromUtf8(Style) + u"\n</head>\n<body>\n"_qs;
}

QString colourOf(double percent) {
    return percent >= 80 ? u"#2f9e44"_qs : percent >= 60 ? u"#e8890c"_qs : u"#d64545"_qs;
}

// A half ring filled up to the health percent, the figure in its middle.
QString gauge(const Page& page, const PhoneReport& report) {
    QString svg = u"<svg viewBox=\"0 0 200 118\" width=\"200\" height=\"118\" role=\"img\">"
                  "<path d=\"M 20 100 A 80 80 0 0 1 180 100\" fill=\"none\" stroke=\"#e4e7eb\" "
                  "stroke-width=\"18\"/>"_qs;
    if (report.healthPercent) {
        const double shown = std::clamp(*report.healthPercent, 0.0, 100.0);
        const double angle = std::numbers::pi * (1 - shown / 100);
        const QLocale c = QLocale::c();
        svg += u"<path d=\"M 20 100 A 80 80 0 0 1 %1 %2\" fill=\"none\" stroke=\"%3\" stroke-width=\"18\"/>"_qs.arg(
            c.toString(100 + 80 * std::cos(angle), 'f', 2), c.toString(100 - 80 * std::sin(angle), 'f', 2),
            colourOf(*report.healthPercent));
        svg += u"<text x=\"100\" y=\"98\" text-anchor=\"middle\" font-size=\"25\" font-weight=\"bold\" "
               "fill=\"#1d2733\">"_qs +
               page.percent(*report.healthPercent) + u"</text>"_qs;
    } else {
        svg += u"<text x=\"100\" y=\"92\" text-anchor=\"middle\" font-size=\"30\" fill=\"#8a96a3\">?</text>"_qs;
    }
    svg += u"</svg>"_qs;
    const QString source = report.healthPercent
                               ? page.t(SourceLine).arg(page.t(SourceWordList[int(report.healthSource)]))
                               : page.missing();
    return u"<div class=\"gauge\">"_qs + svg + u"<p><strong>"_qs + page.t(BatteryHealth) + u"</strong></p><p>"_qs +
           source + u"</p></div>\n"_qs;
}

QString mah(const Page& page, double value) {
    return page.number(value, 0) + u"\u00A0mAh"_qs;
}

QString batterySection(const Page& page, const PhoneReport& r) {
    const auto word = [&page](const Message* words, std::optional<int> code) {
        return code ? page.t(words[*code - 1]) : page.missing();
    };
    QString rows;
    rows += page.row(Cycles, r.cycles ? page.number(*r.cycles, 0) + u" ("_qs +
                                            page.t(SourceWordList[int(r.cyclesSource)]) + u')'
                                      : page.missing());
    rows += page.row(Level, page.or_<int>(r.level, [&](int v) { return page.number(v, 0) + u"\u00A0%"_qs; }));
    rows += page.row(Status, word(StatusWords, r.status));
    rows += page.row(Condition, word(HealthWords, r.health));
    rows += page.row(Temperature,
                     page.or_<double>(r.temperatureC, [&](double v) { return page.number(v, 1) + u"\u00A0°C"_qs; }));
    rows += page.row(Voltage, page.or_<int>(r.voltageMv, [&](int v) { return page.number(v, 0) + u"\u00A0mV"_qs; }));
    rows += page.row(Technology, page.text(r.technology));
    rows += page.row(DesignCapacity, page.or_<double>(r.designCapacityMah, [&](double v) { return mah(page, v); }));
    rows += page.row(FullCapacity, page.or_<double>(r.fullCapacityMah, [&](double v) { return mah(page, v); }));
    rows += page.row(ChargeCounter, page.or_<double>(r.chargeCounterMah, [&](double v) { return mah(page, v); }));
    return u"<section>\n<h2>"_qs + page.t(Battery) + u"</h2>\n<div class=\"battery\">\n"_qs + gauge(page, r) +
           u"<table>\n"_qs + rows + u"</table>\n</div>\n</section>\n"_qs;
}

QString barRow(const Page& page, const reports::Partition& p, const QString& name, bool total) {
    const double used = p.size > 0 ? std::clamp(double(p.used) / double(p.size) * 100, 0.0, 100.0) : 0;
    const QString width = QLocale::c().toString(used, 'f', 2);
    return u"<tr"_qs + (total ? u" class=\"total\""_qs : QString()) + u"><th>"_qs + name +
           u"</th><td><svg class=\"bar\" viewBox=\"0 0 100 12\" preserveAspectRatio=\"none\">"
           "<rect width=\"100\" height=\"12\" fill=\"#e4e7eb\"/><rect width=\""_qs +
           width + u"\" height=\"12\" fill=\""_qs +
           (!total       ? u"#7f9fcf"_qs
            : used >= 90 ? u"#d64545"_qs
                         : u"#2f6fc9"_qs) +
           u"\"/></svg></td><td class=\"size\">"_qs +
           page.t(UsedOf).arg(page.bytes(p.used), page.bytes(p.size), page.percent(used)) + u"</td></tr>\n"_qs;
}

QString storageSection(const Page& page, const PhoneReport& r) {
    QString body;
    if (r.storage.isEmpty()) {
        body = u"<p>"_qs + page.missing() + u"</p>\n"_qs;
    } else {
        body = u"<table class=\"bars\">\n"_qs;
        for (const reports::Partition& p : r.storage)
            body += barRow(page, p, outside(p.mount), false);
        body += barRow(page, reports::StorageTotal(r), page.t(Total), true);
        body += u"</table>\n"_qs;
    }
    return u"<section>\n<h2>"_qs + page.t(Storage) + u"</h2>\n"_qs + body + u"</section>\n"_qs;
}

QString thermalSection(const Page& page, const PhoneReport& r) {
    QString body;
    if (r.thermal.isEmpty()) {
        body = u"<p>"_qs + page.missing() + u"</p>\n"_qs;
    } else {
        body = u"<div class=\"sensors\">\n"_qs;
        for (const reports::ThermalSensor& s : r.thermal)
            body += u"<div><span>"_qs + outside(s.name) + u"</span><span>"_qs +
                    page.or_<double>(s.celsius, [&](double v) { return page.number(v, 1) + u"\u00A0°C"_qs; }) +
                    u"</span></div>\n"_qs;
        body += u"</div>\n"_qs;
    }
    return u"<section>\n<h2>"_qs + page.t(Temperatures) + u"</h2>\n"_qs + body + u"</section>\n"_qs;
}

QString yesNo(const Page& page, std::optional<bool> value) {
    return value ? page.t(*value ? Yes : No) : page.missing();
}

QString sourceName(HealthSource source) {
    return source == HealthSource::None ? QString() : QString::fromLatin1(SourceNames[int(source)]);
}

QJsonValue orNull(const QString& text) {
    return text.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(text);
}

template <typename T> QJsonValue orNull(const std::optional<T>& value) {
    if (!value)
        return QJsonValue::Null;
    if constexpr (std::is_same_v<T, double>)
        return rounded(*value);
    else
        return *value;
}

QJsonValue wordOrNull(const Message* words, std::optional<int> code) {
    return code ? QJsonValue(QString::fromUtf8(words[*code - 1].en)) : QJsonValue(QJsonValue::Null);
}

} // namespace

namespace reports {

QString NotReported(bool langFR) {
    return Missing.in(langFR);
}

QString SourceWords(HealthSource source, bool langFR) {
    return SourceWordList[int(source)].in(langFR);
}

QString PercentText(double percent, bool langFR) {
    return numbersOf(langFR).toString(percent, 'f', 1) + u"\u00A0%"_qs;
}

QString ReportPage(const PhoneReport& r, const bool langFR, const QDateTime& generated) {
    const Page page(langFR);
    const QString name = r.model.isEmpty() ? page.t(Title) : outside(r.model);
    QStringList subtitle;
    if (!r.maker.isEmpty())
        subtitle.append(outside(r.maker));
    if (!r.android.isEmpty())
        subtitle.append(u"Android "_qs + outside(r.android));
    QString html = head(page, page.t(Title) + u" – "_qs + name);
    html += u"<header>\n<h1>"_qs + name + u"</h1>\n<p>"_qs + page.t(Title) +
            (subtitle.isEmpty() ? QString() : u" · "_qs + subtitle.join(u" · "_qs)) + u"</p>\n</header>\n"_qs;

    QString identity;
    identity += page.row(Maker, page.text(r.maker));
    identity += page.row(Brand, page.text(r.brand));
    identity += page.row(Model, page.text(r.model));
    identity += page.row(Device, page.text(r.device));
    identity += page.row(Serial, page.text(r.serial));
    identity += page.row(Android, page.text(r.android));
    identity += page.row(Sdk, page.or_<int>(r.sdk, [&](int v) { return page.number(v, 0); }));
    identity += page.row(SecurityPatch, page.text(r.securityPatch));
    identity += page.row(Fingerprint, page.text(r.fingerprint));
    html += u"<section>\n<h2>"_qs + page.t(Identity) + u"</h2>\n<table>\n"_qs + identity + u"</table>\n</section>\n"_qs;

    html += batterySection(page, r);
    html += storageSection(page, r);
    html += thermalSection(page, r);

    QString security;
    security += page.row(ThirdPartyApps, page.or_<int>(r.thirdPartyApps, [&](int v) { return page.number(v, 0); }));
    security += page.row(Rooted, yesNo(page, r.rooted));
    security += page.row(VerifiedBoot, page.text(r.verifiedBoot));
    html += u"<section>\n<h2>"_qs + page.t(Security) + u"</h2>\n<table>\n"_qs + security + u"</table>\n</section>\n"_qs;

    html += u"<footer>"_qs + page.t(Footer).arg(page.date(generated), Version) + u"</footer>\n</body>\n</html>\n"_qs;
    return html;
}

QJsonObject ReportJson(const PhoneReport& r, const QDateTime& generated) {
    const QJsonObject phone{{u"maker"_qs, orNull(r.maker)},
                            {u"brand"_qs, orNull(r.brand)},
                            {u"model"_qs, orNull(r.model)},
                            {u"device"_qs, orNull(r.device)},
                            {u"serial"_qs, orNull(r.serial)},
                            {u"android"_qs, orNull(r.android)},
                            {u"sdk"_qs, orNull(r.sdk)},
                            {u"security_patch"_qs, orNull(r.securityPatch)},
                            {u"fingerprint"_qs, orNull(r.fingerprint)},
                            {u"verified_boot"_qs, orNull(r.verifiedBoot)},
                            {u"rooted"_qs, orNull(r.rooted)}};
    const QJsonObject battery{{u"level"_qs, orNull(r.level)},
                              {u"status"_qs, wordOrNull(StatusWords, r.status)},
                              {u"health"_qs, wordOrNull(HealthWords, r.health)},
                              {u"temperature_c"_qs, orNull(r.temperatureC)},
                              {u"voltage_mv"_qs, orNull(r.voltageMv)},
                              {u"technology"_qs, orNull(r.technology)},
                              {u"charge_counter_mah"_qs, orNull(r.chargeCounterMah)},
                              {u"design_capacity_mah"_qs, orNull(r.designCapacityMah)},
                              {u"full_capacity_mah"_qs, orNull(r.fullCapacityMah)},
                              {u"health_percent"_qs, orNull(r.healthPercent)},
                              {u"health_source"_qs, orNull(sourceName(r.healthSource))},
                              {u"cycles"_qs, orNull(r.cycles)},
                              {u"cycles_source"_qs, orNull(sourceName(r.cyclesSource))}};
    QJsonArray thermal;
    for (const ThermalSensor& s : r.thermal)
        thermal.append(
            QJsonObject{{u"name"_qs, s.name}, {u"type"_qs, orNull(s.type)}, {u"celsius"_qs, orNull(s.celsius)}});
    QJsonArray partitions;
    for (const Partition& p : r.storage)
        partitions.append(QJsonObject{{u"mount"_qs, p.mount},
                                      {u"size_bytes"_qs, p.size},
                                      {u"used_bytes"_qs, p.used},
                                      {u"free_bytes"_qs, p.free}});
    return {{u"schema"_qs, 1},           {u"generated"_qs, generated.toUTC().toString(Qt::ISODate)},
            {u"telvane"_qs, Version},    {u"phone"_qs, phone},
            {u"battery"_qs, battery},    {u"thermal"_qs, thermal},
            {u"storage"_qs, partitions}, {u"apps"_qs, QJsonObject{{u"third_party"_qs, orNull(r.thirdPartyApps)}}}};
}

QByteArray ReportJsonBytes(const PhoneReport& report, const QDateTime& generated) {
    return QJsonDocument(ReportJson(report, generated)).toJson(QJsonDocument::Indented);
}

QStringList InventoryRows(const QList<InventoryEntry>& phones, bool langFR) {
    const QLocale c = QLocale::c();
    const auto number = [&c](const auto& value, int decimals) {
        return value ? c.toString(double(*value), 'f', decimals) : QString();
    };
    const Message heading[] = {{"Model", "Modèle"},
                               {"Serial number", "Numéro de série"},
                               {"Android", "Android"},
                               {"Security patch", "Correctif de sécurité"},
                               {"Battery health %", "Santé de la batterie %"},
                               {"Health source", "Source de la santé"},
                               {"Charge cycles", "Cycles de charge"},
                               {"Level %", "Niveau %"},
                               {"Temperature °C", "Température °C"},
                               {"Storage used %", "Stockage utilisé %"},
                               {"Third-party apps", "Applications tierces"},
                               {"Report", "Rapport"}};
    const QString comma = u","_qs;
    QStringList fields;
    for (const Message& m : heading)
        fields.append(CsvField(m.in(langFR), comma));
    QStringList rows{fields.join(comma)};
    for (const InventoryEntry& phone : phones) {
        const PhoneReport& r = phone.report;
        const Partition total = StorageTotal(r);
        const std::optional<double> used =
            total.size > 0 ? std::optional<double>(double(total.used) / double(total.size) * 100) : std::nullopt;
        const QString source =
            r.healthSource == HealthSource::None ? QString() : SourceWordList[int(r.healthSource)].in(langFR);
        fields = {r.model,
                  r.serial,
                  r.android,
                  r.securityPatch,
                  number(r.healthPercent, 1),
                  source,
                  number(r.cycles, 0),
                  number(r.level, 0),
                  number(r.temperatureC, 1),
                  number(used, 1),
                  number(r.thirdPartyApps, 0),
                  phone.page};
        for (QString& field : fields)
            field = CsvField(field, comma);
        rows.append(fields.join(comma));
    }
    return rows;
}

QString InventoryPage(const QList<InventoryEntry>& phones, bool langFR, const QDateTime& generated) {
    const Page page(langFR);
    QString html = head(page, page.t(Phones));
    html += u"<header>\n<h1>"_qs + page.t(Phones) + u"</h1>\n<p>"_qs +
            page.t(PhonesRead).arg(page.number(phones.size(), 0)) +
            u"</p>\n</header>\n<table class=\"list\">\n<tr><th>"_qs + page.t(Model) + u"</th><th>"_qs + page.t(Serial) +
            u"</th><th>"_qs + page.t(Android) + u"</th><th>"_qs + page.t(BatteryHealth) + u"</th></tr>\n"_qs;
    for (const InventoryEntry& phone : phones) {
        const PhoneReport& r = phone.report;
        const QString name = r.model.isEmpty() ? page.t(Title) : outside(r.model);
        html += u"<tr><td><a href=\""_qs +
                QString::fromLatin1(QUrl::toPercentEncoding(phone.page, "/")).toHtmlEscaped() + u"\">"_qs + name +
                u"</a></td><td>"_qs + page.text(r.serial) + u"</td><td>"_qs + page.text(r.android) + u"</td><td>"_qs +
                page.or_<double>(r.healthPercent, [&](double v) { return page.percent(v); }) + u"</td></tr>\n"_qs;
    }
    html += u"</table>\n<footer>"_qs + page.t(Footer).arg(page.date(generated), Version) +
            u"</footer>\n</body>\n</html>\n"_qs;
    return html;
}

void WriteInventory(const QString& folder, const QList<InventoryEntry>& phones, bool langFR) {
    const QDateTime now = QDateTime::currentDateTime();
    files::WholeFileWriter table(QDir(folder).filePath(QString::fromUtf16(InventoryTable)));
    files::WholeFileWriter index(QDir(folder).filePath(QString::fromUtf16(InventoryIndex)));
    table.write(strlist::fileBytes(InventoryRows(phones, langFR)));
    index.write(InventoryPage(phones, langFR, now).toUtf8());
    table.commit();
    index.commit();
}

} // namespace reports
