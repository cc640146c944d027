#include "base/strlist.h"
#include "reports/phonereport.h"
#include "reports/reportrender.h"
#include "testsupport.h"
#include "ui/browser.h"
#include "ui/panel.h"
#include "ui/textpane.h"

#include <QDir>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using reports::ReportOutputs;

Q_DECLARE_METATYPE(reports::Output)

namespace {

// Recorded lines: a file of a profile, or the file of tests/data/reports/captures whose name begins so, with
// the given lines put before them (a name's first value counts, so they stand in for the file's own).
QStringList capture(const QStringList& spec) {
    QStringList lines = spec.mid(1);
    QString path = spec.value(0);
    if (!path.isEmpty() && !path.startsWith(u"profiles/")) {
        const QFileInfo named(testsupport::dataPath(u"reports/captures/"_qs + path));
        path = named.dir().filePath(named.dir().entryList({named.fileName() + u'*'}).value(0));
    }
    if (!path.isEmpty())
        lines += strlist::fromText(QString::fromUtf8(testsupport::dataBytes(path)));
    return lines;
}

// A value of the JSON document by its path: names and indexes joined by "/", "#" for an array's size.
QJsonValue at(QJsonValue value, const QString& path) {
    for (const QString& step : path.split(u'/')) {
        if (step == u"#")
            return value.toArray().size();
        bool index = false;
        const int i = step.toInt(&index);
        value = index ? value.toArray().at(i) : value.toObject().value(step);
    }
    return value;
}

QJsonObject jsonOf(const ReportOutputs& outputs) {
    return reports::ReportJson(reports::ReadPhoneReport(outputs), QDateTime::currentDateTime());
}

// The answers of a recorded profile to the report's commands.
ReportOutputs profileOutputs(const QString& profile) {
    const char* const slugs[] = {"shell-getprop",
                                 "shell-dumpsys-battery",
                                 "shell-dumpsys-batterystats-charged-grep-i-capacity",
                                 "shell-dumpsys-android-hardware-health-ihealth-default",
                                 "shell-dumpsys-thermalservice",
                                 "shell-df",
                                 "shell-pm-list-packages-3",
                                 "shell-which-su"};
    ReportOutputs outputs;
    for (int i = 0; i < reports::OutputCount; ++i)
        outputs[i] = capture({u"profiles/"_qs + profile + u'/' + QString::fromLatin1(slugs[i]) + u".out"_qs});
    return outputs;
}

} // namespace

class TestPhoneReport : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Real dumps of several phones, alone or together: each source is taken when it is the best there is.
    void healthSources_data() {
        QTest::addColumn<QStringList>("battery");
        QTest::addColumn<QStringList>("stats");
        QTest::addColumn<QStringList>("health");
        QTest::addColumn<QJsonValue>("percent");
        QTest::addColumn<QJsonValue>("source");
        QTest::addColumn<QJsonValue>("cycles");
        QTest::addColumn<QJsonValue>("cyclesSource");
        const QString nexus = u"dumpsys-battery/nexus5"_qs, samsung = u"dumpsys-battery/samsung-2018"_qs;
        const QString qin = u"dumpsys-battery/qin"_qs, redmi = u"dumpsys-battery/redmi"_qs;
        const QString sony = u"dumpsys-batterystats/sony"_qs, meizu = u"dumpsys-batterystats/meizu"_qs;
        const QString mi6 = u"dumpsys-health/shaped-on-mi6"_qs;
        const QJsonValue null(QJsonValue::Null);
        const QJsonValue service(u"health-service"_qs), maker(u"maker"_qs), stats(u"batterystats"_qs);
        QTest::newRow("health service, state of health")
            << QStringList{nexus} << QStringList{sony} << QStringList{mi6, u"batteryStateOfHealth=87"_qs}
            << QJsonValue(87) << service << QJsonValue(151) << service;
        QTest::newRow("health service, full charge against design")
            << QStringList{nexus} << QStringList{sony} << QStringList{mi6} << QJsonValue(65.3) << service
            << QJsonValue(151) << service;
        QTest::newRow("health service refused: the maker's reading")
            << QStringList{samsung} << QStringList{sony} << QStringList{u"sysfs-battery/termux"_qs} << QJsonValue(77)
            << maker << QJsonValue(1764) << maker;
        QTest::newRow("the maker's reading in brackets")
            << QStringList{u"dumpsys-battery/samsung-zebrunner"_qs, u"  mSavedBatteryAsoc: [86]"_qs} << QStringList()
            << QStringList() << QJsonValue(86) << maker << QJsonValue(1) << maker;
        QTest::newRow("unsupported maker's reading, other names from the health service: learned capacity")
            << QStringList{samsung, u"  mSavedBatteryAsoc: -1"_qs} << QStringList{sony}
            << QStringList{u"sysfs-battery/xiaomi-mi6"_qs} << QJsonValue(100) << stats << QJsonValue(1764) << maker;
        QTest::newRow("no last learned capacity: the lowest")
            << QStringList{nexus} << QStringList{u"dumpsys-batterystats/phone-2020"_qs} << QStringList()
            << QJsonValue(100.2) << stats << null << null;
        QTest::newRow("estimate from µAh against the older capacity line")
            << QStringList{qin} << QStringList{meizu} << QStringList() << QJsonValue(96.6) << QJsonValue(u"estimate"_qs)
            << null << null;
        QTest::newRow("estimate from mAh (HyperOS)")
            << QStringList{redmi} << QStringList{QString(), u"  Estimated battery capacity: 5500 mAh"_qs}
            << QStringList() << QJsonValue(97.1) << QJsonValue(u"estimate"_qs) << null << null;
        QTest::newRow("estimate beyond a battery: not reported")
            << QStringList{redmi} << QStringList{meizu} << QStringList() << null << null << null << null;
        QTest::newRow("level under 15 %: no estimate") << QStringList{qin, u"  level: 14"_qs} << QStringList{meizu}
                                                       << QStringList() << null << null << null << null;
        QTest::newRow("no source at all (2012 dump, Android 6 batterystats)")
            << QStringList{u"dumpsys-battery/old-android-2012"_qs} << QStringList{u"dumpsys-batterystats/android6"_qs}
            << QStringList() << null << null << null << null;
        QTest::newRow("design capacity of no phone, absurd cycle count")
            << QStringList{nexus}
            << QStringList{QString(), u"Estimated battery capacity: 40000 mAh"_qs,
                           u"Last learned battery capacity: 36000 mAh"_qs}
            << QStringList{QString(), u"batteryCycleCount: 250000"_qs} << null << null << null << null;
    }
    void healthSources() {
        QFETCH(QStringList, battery);
        QFETCH(QStringList, stats);
        QFETCH(QStringList, health);
        ReportOutputs outputs;
        outputs[reports::Battery] = capture(battery);
        outputs[reports::BatteryStats] = capture(stats);
        outputs[reports::HealthService] = capture(health);
        const QJsonObject json = jsonOf(outputs);
        QTEST(at(json, u"battery/health_percent"_qs), "percent");
        QTEST(at(json, u"battery/health_source"_qs), "source");
        QTEST(at(json, u"battery/cycles"_qs), "cycles");
        QTEST(at(json, u"battery/cycles_source"_qs), "cyclesSource");
    }

    void readsWhatThePhonePrints_data() {
        QTest::addColumn<reports::Output>("output");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QJsonValue>("expected");
        const QString infinix = u"getprop/infinix"_qs;
        const QJsonValue null(QJsonValue::Null);
        QTest::newRow("model") << reports::Properties << QStringList{infinix} << u"phone/model"_qs
                               << QJsonValue(u"Infinix X670"_qs);
        QTest::newRow("a property after one over several lines")
            << reports::Properties << QStringList{infinix} << u"phone/security_patch"_qs
            << QJsonValue(u"2024-02-05"_qs);
        QTest::newRow("no model") << reports::Properties << QStringList{QString(), u"[ro.build.version.sdk]: [33]"_qs}
                                  << u"phone/model"_qs << null;
        QTest::newRow("su on the path") << reports::SuPath << QStringList{u"profiles/modern/shell-which-su.out"_qs}
                                        << u"phone/rooted"_qs << QJsonValue(true);
        QTest::newRow("no su") << reports::SuPath << QStringList() << u"phone/rooted"_qs << QJsonValue(false);
        QTest::newRow("no which") << reports::SuPath << QStringList{u"profiles/oldos/shell-which-su.out"_qs}
                                  << u"phone/rooted"_qs << null;
        QTest::newRow("apps") << reports::Packages << QStringList{u"profiles/modern/shell-pm-list-packages-3.out"_qs}
                              << u"apps/third_party"_qs << QJsonValue(26);
        QTest::newRow("pm without -3") << reports::Packages
                                       << QStringList{u"profiles/oldos/shell-pm-list-packages-3.out"_qs}
                                       << u"apps/third_party"_qs << null;
        const QString samsung = u"dumpsys-thermalservice/samsung"_qs;
        QTest::newRow("current temperatures, not the cached ones")
            << reports::Thermal << QStringList{samsung} << u"thermal/0/name"_qs << QJsonValue(u"TYPE_CPU"_qs);
        QTest::newRow("a sensor that is not there")
            << reports::Thermal << QStringList{samsung} << u"thermal/4/celsius"_qs << null;
        QTest::newRow("no thermal service")
            << reports::Thermal << QStringList{u"profiles/oldos/shell-dumpsys-thermalservice.out"_qs} << u"thermal/#"_qs
            << QJsonValue(0);
        const QString huawei = u"df/huawei"_qs;
        QTest::newRow("toybox partitions")
            << reports::DiskFree << QStringList{u"profiles/modern/shell-df.out"_qs} << u"storage/#"_qs << QJsonValue(8);
        QTest::newRow("toybox 1K blocks") << reports::DiskFree << QStringList{u"profiles/modern/shell-df.out"_qs}
                                          << u"storage/6/used_bytes"_qs << QJsonValue(36082176.0 * 1024);
        QTest::newRow("toybox RAM file systems left out")
            << reports::DiskFree << QStringList{u"df/xiaomi"_qs} << u"storage/0/mount"_qs << QJsonValue(u"/system"_qs);
        QTest::newRow("toolbox, complaints between rows")
            << reports::DiskFree << QStringList{huawei} << u"storage/#"_qs << QJsonValue(8);
        QTest::newRow("toolbox sizes") << reports::DiskFree << QStringList{huawei} << u"storage/0/free_bytes"_qs
                                       << QJsonValue(double(qint64(333.5 * 1024 * 1024)));
        QTest::newRow("toolbox whole units") << reports::DiskFree << QStringList{u"df/old-toolbox-2012"_qs}
                                             << u"storage/2/size_bytes"_qs << QJsonValue(27.0 * 1024 * 1024 * 1024);
        QTest::newRow("empty df") << reports::DiskFree << QStringList() << u"storage/#"_qs << QJsonValue(0);
    }
    void readsWhatThePhonePrints() {
        QFETCH(reports::Output, output);
        QFETCH(QStringList, lines);
        QFETCH(QString, path);
        ReportOutputs outputs;
        outputs[output] = capture(lines);
        QTEST(at(jsonOf(outputs), path), "expected");
    }

    // Text from the phone stays text in the page and in the JSON; what it did not give is said.
    void pageAndDocument_data() {
        QTest::addColumn<bool>("langFR");
        QTest::addColumn<QString>("missing");
        QTest::newRow("English") << false << u"not reported by this phone"_qs;
        QTest::newRow("French") << true << u"non fourni par ce téléphone"_qs;
    }
    void pageAndDocument() {
        QFETCH(bool, langFR);
        QFETCH(QString, missing);
        reports::PhoneReport hostile;
        hostile.model = u"<b>&\"x</b><script>alert(1)</script>"_qs;
        hostile.maker = u"Zo\u00e9\u0001\u001b[31m"_qs;
        hostile.fingerprint = QString(5000, u'f');
        hostile.temperatureC = 28.7;
        const QString page = reports::ReportPage(hostile, langFR, QDateTime::currentDateTime());
        QVERIFY(page.contains(u"&lt;b&gt;&amp;&quot;x&lt;/b&gt;&lt;script&gt;"_qs));
        QVERIFY(!page.contains(u"<b>"_qs) && !page.contains(u"<script"_qs) && !page.contains(u'\u0001'));
        QVERIFY(page.size() < 20000);
        QVERIFY(page.contains(langFR ? u"28,7\u00A0°C"_qs : u"28.7\u00A0°C"_qs));
        QVERIFY(page.count(missing) >= 20);
        const QJsonObject json =
            QJsonDocument::fromJson(reports::ReportJsonBytes(hostile, QDateTime::currentDateTime())).object();
        QCOMPARE(at(json, u"phone/model"_qs).toString(), hostile.model);
        QCOMPARE(at(json, u"phone/maker"_qs).toString(), hostile.maker);
        QCOMPARE(at(json, u"battery/level"_qs), QJsonValue(QJsonValue::Null));
        QCOMPARE(at(json, u"battery/status"_qs), QJsonValue(QJsonValue::Null));
    }

    // The panel writes both files and shows the page; a phone lost meanwhile leaves the earlier pair as it was.
    void thePanelWritesAndShowsThePage_data() {
        QTest::addColumn<QString>("profile");
        QTest::addColumn<QString>("last");
        QTest::newRow("written") << u"modern"_qs << u"Phone report written: "_qs;
        QTest::newRow("phone lost") << u"reportlost"_qs << u"Phone lost: error: device offline"_qs;
    }
    void thePanelWritesAndShowsThePage() {
        QFETCH(QString, profile);
        QFETCH(QString, last);
        const testsupport::FreshHome home;
        const testsupport::DialogRecorder dialogs;
        testsupport::useProfile(profile);
        QList<QUrl> shown;
        browser::setOpener([&shown](const QUrl& url) { shown.append(url); });
        const QDir folder(home.outputFolder());
        QVERIFY(folder.mkpath(u"."_qs));
        for (const QString& name : {u"DeviceReport.html"_qs, u"DeviceReport.json"_qs}) {
            QFile earlier(folder.filePath(name));
            QVERIFY(earlier.open(QIODevice::WriteOnly) && earlier.write("earlier") == 7);
        }
        TForm13 form(testsupport::quietUpdateServer());
        testsupport::click(form.PanelPhoneReport);
        browser::setOpener({});
        QVERIFY2(form.RichEdit1->lines().last().startsWith(last), qPrintable(form.RichEdit1->lines().last()));
        const bool written = profile == u"modern";
        const QString page = folder.filePath(u"DeviceReport.html"_qs);
        QCOMPARE(shown, written ? QList<QUrl>{QUrl::fromLocalFile(page)} : QList<QUrl>());
        const QJsonDocument json =
            QJsonDocument::fromJson(testsupport::dataBytes(folder.filePath(u"DeviceReport.json"_qs)));
        QCOMPARE(at(json.object(), u"battery/health_source"_qs).toString(), written ? u"batterystats"_qs : QString());
        QCOMPARE(testsupport::dataBytes(page) == "earlier", !written);
        if (written)
            QVERIFY(form.RichEdit1->lines().contains(
                u"Battery health: 100.0\u00A0% (source: learned capacity in batterystats)"_qs));
    }

    // A real browser opens the page offline: nothing is asked of the network, it prints on one or two A4
    // pages, and its screenshots are kept in report-shots/ beside the tests, to be looked at.
    void aBrowserShowsThePage_data() {
        QTest::addColumn<QString>("profile");
        QTest::addColumn<bool>("langFR");
        QTest::newRow("en") << u"modern"_qs << false;
        QTest::newRow("fr") << u"modern"_qs << true;
        QTest::newRow("old phone, en") << u"oldos"_qs << false;
    }
    void aBrowserShowsThePage() {
#ifdef Q_OS_WIN
        QSKIP("no chromium under Wine");
#endif
        QFETCH(QString, profile);
        QFETCH(bool, langFR);
        const QString chromium = QStandardPaths::findExecutable(u"chromium"_qs);
        QVERIFY2(!chromium.isEmpty(), "chromium is missing: scripts/install-deps.sh test installs it");
        const QTemporaryDir dir;
        const QString page = dir.filePath(u"DeviceReport.html"_qs);
        QFile file(page);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(
            reports::ReportPage(reports::ReadPhoneReport(profileOutputs(profile)), langFR, QDateTime::currentDateTime())
                .toUtf8());
        file.close();
        const QString shots = QStringLiteral(TELVANE_TEST_BIN_DIR "/report-shots");
        QDir().mkpath(shots);
        const QString shot =
            shots + u'/' + QString::fromLatin1(QTest::currentDataTag()).replace(u' ', u'-') + u".png"_qs;
        // Each run writes its own net log, the last one is read.
        const auto browse = [&](const QStringList& what) {
            QProcess browser;
            browser.start(chromium, QStringList{u"--headless"_qs, u"--no-sandbox"_qs, u"--disable-gpu"_qs,
                                                u"--disable-quic"_qs, u"--no-first-run"_qs,
                                                u"--disable-background-networking"_qs, u"--disable-component-update"_qs,
                                                u"--disable-sync"_qs, u"--user-data-dir="_qs + dir.filePath(u"user"_qs),
                                                u"--log-net-log="_qs + dir.filePath(u"net.json"_qs)} +
                                        what + QStringList{QUrl::fromLocalFile(page).toString()});
            return browser.waitForFinished(120000) && browser.exitCode() == 0;
        };
        QVERIFY(browse({u"--no-pdf-header-footer"_qs, u"--print-to-pdf="_qs + dir.filePath(u"page.pdf"_qs)}));
        const QByteArray pdf = testsupport::dataBytes(dir.filePath(u"page.pdf"_qs));
        const qsizetype pages = pdf.count("/Type /Page") - pdf.count("/Type /Pages");
        QVERIFY2(pages >= 1 && pages <= 2, qPrintable(QString::number(pages)));
        QVERIFY(browse({u"--window-size=1000,1500"_qs, u"--screenshot="_qs + shot}));
        const QImage image(shot);
        QSet<QRgb> colours;
        for (int y = 0; y < image.height(); y += 7)
            for (int x = 0; x < image.width(); x += 7)
                colours.insert(image.pixel(x, y));
        QVERIFY(colours.size() > 20);
        // What the page asks for carries the file's site; the browser's own requests (updates, time) do not.
        const QByteArray net = testsupport::dataBytes(dir.filePath(u"net.json"_qs));
        QVERIFY(net.contains("\"logEventTypes\""));
        QCOMPARE(net.count("{site=file://"), 0);
    }
};

QTEST_MAIN(TestPhoneReport)
#include "tst_phonereport.moc"
