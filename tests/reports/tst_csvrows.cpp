#include "base/strlist.h"
#include "reports/csvexport.h"

#include <QLocale>
#include <QTest>

namespace {

// Reads one CSV line back the way a spreadsheet does (RFC 4180 quoting).
QStringList readCsvLine(const QString& line, QChar separator) {
    QStringList fields(1);
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (quoted) {
            if (c == u'"' && i + 1 < line.size() && line[i + 1] == u'"') {
                fields.last() += c;
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                fields.last() += c;
            }
        } else if (c == u'"') {
            quoted = true;
        } else if (c == separator) {
            fields.append(QString());
        } else {
            fields.last() += c;
        }
    }
    return fields;
}

QString rowText(const reports::CsvRow& row, const QString& separator) {
    return reports::CsvLine(row, separator);
}

// Restores the locale a test changed, also when it fails.
struct LocaleGuard {
    QLocale saved;
    explicit LocaleGuard(const QLocale& locale) { QLocale::setDefault(locale); }
    ~LocaleGuard() { QLocale::setDefault(saved); }
};

const QString ImeiNotice = u"[WARNING] IMEI not available (check phone UI)"_qs;

} // namespace

class TestCsvRows : public QObject {
    Q_OBJECT

    void addRowColumns() {
        QTest::addColumn<QString>("category");
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("excel");
        QTest::addColumn<QString>("libreOffice");
        QTest::addColumn<QStringList>("notes");
    }

private Q_SLOTS:
    void rows_data() {
        addRowColumns();
        const struct {
            const char* what;
            const char* category;
            const char* line;
            const char* excel; // empty: no row
            const char* libreOffice;
            const char* note; // summary line, if any
        } table[] = {
            {"temperature", "BATTERY", "temperature: 300", "Battery,Temperature C,30.0", "Battery;Temperature C;30.0",
             "Temperature: 30.0 °C / 86.0 °F"},
            {"temperature with a decimal", "BATTERY", "temperature: 287", "Battery,Temperature C,28.7",
             "Battery;Temperature C;28.7", "Temperature: 28.7 °C / 83.7 °F"},
            {"temperature tie rounds away from zero", "BATTERY", "temperature: 2.5", "Battery,Temperature C,0.3",
             "Battery;Temperature C;0.3", "Temperature: 0.3 °C / 32.5 °F"},
            {"negative tie rounds away from zero", "BATTERY", "temperature: -2.5", "Battery,Temperature C,-0.3",
             "Battery;Temperature C;-0.3", "Temperature: -0.3 °C / 31.5 °F"},
            {"below freezing", "BATTERY", "temperature: -50", "Battery,Temperature C,-5.0",
             "Battery;Temperature C;-5.0", "Temperature: -5.0 °C / 23.0 °F"},
            {"temperature not a number", "BATTERY", "Temperature: abc", "Battery,Temperature C,abc",
             "Battery;Temperature C;abc", ""},
            {"temperature with a grouping comma", "BATTERY", "temperature: 1,5", "Battery,Temperature C,\"1,5\"",
             "Battery;Temperature C;1,5", ""},
            {"voltage with a group separator is no number", "BATTERY", "voltage: 1,500", "Battery,Voltage mV,\"1,500\"",
             "Battery;Voltage mV;1,500", ""},
            {"temperature beyond a float", "BATTERY", "temperature: 1e40", "Battery,Temperature C,1e40",
             "Battery;Temperature C;1e40", ""},
            {"temperature without value", "BATTERY", "temperature:", "Battery,Temperature C,", "Battery;Temperature C;",
             ""},
            {"voltage", "BATTERY", "voltage: 4012", "Battery,Voltage mV,4012", "Battery;Voltage mV;4012",
             "Battery voltage: 4.012 V (4012 mV)"},
            {"voltage float just below", "BATTERY", "voltage: 3850", "Battery,Voltage mV,3850",
             "Battery;Voltage mV;3850", "Battery voltage: 3.850 V (3850 mV)"},
            {"voltage without blank", "BATTERY", "VOLTAGE:4191", "Battery,Voltage mV,4191", "Battery;Voltage mV;4191",
             "Battery voltage: 4.191 V (4191 mV)"},
            {"battery line ending in colon", "BATTERY", "Current Battery Service state:",
             "Battery,Current Battery Service state,", "Battery;Current Battery Service state;", ""},
            {"max temperature is no temperature", "BATTERY", "max temperature: 600", "Battery,max temperature,600",
             "Battery;max temperature;600", ""},
            {"battery line without colon", "BATTERY", "Battery level 100", "", "", ""},
            {"battery value with a semicolon", "BATTERY", "status: a;b", "Battery,status,a;b", "Battery;status;\"a;b\"",
             ""},
            {"property", "SYSTEM PROPERTIES", "[ro.product.model]: [Model 7]", "System,ro.product.model,Model 7",
             "System;ro.product.model;Model 7", ""},
            {"property with commas", "SYSTEM PROPERTIES", "[ro.product.cpu.abilist]: [arm64-v8a,armeabi-v7a]",
             "System,ro.product.cpu.abilist,\"arm64-v8a,armeabi-v7a\"",
             "System;ro.product.cpu.abilist;arm64-v8a,armeabi-v7a", ""},
            {"property with quotes and semicolon", "SYSTEM PROPERTIES", "[ro.build.description]: [say \"hi\"; ok]",
             "System,ro.build.description,\"say \"\"hi\"\"; ok\"", "System;ro.build.description;\"say \"\"hi\"\"; ok\"",
             ""},
            {"serial", "SYSTEM PROPERTIES", "[ro.serialno]: [ABC123]", "System,ro.serialno,ABC123",
             "System;ro.serialno;ABC123", "[WARNING] Sensitive ID detected: ro.serialno (ABC123)"},
            {"imei", "SYSTEM PROPERTIES", "[persist.radio.imei]: [354672105839201]",
             "System,persist.radio.imei,354672105839201", "System;persist.radio.imei;354672105839201",
             "[WARNING] Sensitive ID detected: persist.radio.imei (354672105839201)"},
            {"meid in capitals", "SYSTEM PROPERTIES", "[ril.MEID]: [A1]", "System,ril.MEID,A1", "System;ril.MEID;A1",
             "[WARNING] Sensitive ID detected: ril.MEID (A1)"},
            {"empty value", "SYSTEM PROPERTIES", "[x.y]: []", "System,x.y,", "System;x.y;", ""},
            {"value without brackets", "SYSTEM PROPERTIES", "[x.y]:  plain ", "System,x.y,plain", "System;x.y;plain",
             ""},
            {"second ]: stays in the value", "SYSTEM PROPERTIES", "[a]: [b]: [c]", "System,a,b]: [c", "System;a;b]: [c",
             ""},
            {"property without brackets", "SYSTEM PROPERTIES", "init.svc.adbd: running", "", "", ""},
            {"thermal reading", "THERMAL", "Temperature{mValue=35.0, mType=0, mName=CPU0, mStatus=0}",
             "Thermal,CPU0,35.0", "Thermal;CPU0;35.0", ""},
            {"cooling device", "THERMAL", "CoolingDevice{mValue=0, mType=2, mName=fan}", "Thermal,fan,0",
             "Thermal;fan;0", ""},
            {"thermal name without brace", "THERMAL", "mValue=1, mName=abc", "Thermal,ab,1", "Thermal;ab;1", ""},
            {"thermal other line", "THERMAL", "IsStatusOverride: false", "Thermal,IsStatusOverride: false,",
             "Thermal;IsStatusOverride: false;", ""},
            {"sensor", "SENSORS", "handle=1 name=Accelerometer, vendor=X", "Sensors,Accelerometer,Detected",
             "Sensors;Accelerometer;Detected", ""},
            {"sensor name up to the end", "SENSORS", "name= Light sensor ", "Sensors,Light sensor,Detected",
             "Sensors;Light sensor;Detected", ""},
            {"sensor list heading", "SENSORS", "Sensor List:", "Sensors,Sensor List:,", "Sensors;Sensor List:;", ""},
            {"sensor line with both separators", "SENSORS", "active-count = 2; period = {20.0, 50.0}",
             "Sensors,\"active-count = 2; period = {20.0, 50.0}\",",
             "Sensors;\"active-count = 2; period = {20.0, 50.0}\";", ""},
            {"cpu", "CPU", "Load: 2.5 / 2.1 / 1.9", "CPU,Load: 2.5 / 2.1 / 1.9,", "CPU;Load: 2.5 / 2.1 / 1.9;", ""},
            {"wifi without colon", "WIFI", "Wi-Fi is enabled", "", "", ""},
            {"wifi", "WIFI", "mState: ConnectedState", "WiFi,mState,ConnectedState", "WiFi;mState;ConnectedState", ""},
            {"wifi with quotes", "WIFI", "mWifiInfo SSID: \"Home\", BSSID: a4:2b",
             "WiFi,mWifiInfo SSID,\"\"\"Home\"\", BSSID: a4:2b\"", "WiFi;mWifiInfo SSID;\"\"\"Home\"\", BSSID: a4:2b\"",
             ""},
            {"other category", "FOO", "a: b", "", "", ""},
            {"category names count letter case", "Battery", "temperature: 300", "", "", ""},
        };
        for (const auto& row : table)
            QTest::newRow(row.what) << QString::fromUtf8(row.category) << QString::fromUtf8(row.line)
                                    << QString::fromUtf8(row.excel) << QString::fromUtf8(row.libreOffice)
                                    << (*row.note ? QStringList{QString::fromUtf8(row.note)} : QStringList());
    }
    void rows() {
        QFETCH(QString, category);
        QFETCH(QString, line);
        QFETCH(QString, excel);
        QFETCH(QString, libreOffice);
        QFETCH(QStringList, notes);
        reports::SummaryNotes summary;
        const std::optional<reports::CsvRow> row = reports::BuildRow(category, line, false, summary);
        QCOMPARE(summary.messages, notes);
        QCOMPARE(row.has_value(), !excel.isEmpty());
        if (!row)
            return;
        QCOMPARE(rowText(*row, u","_qs), excel);
        QCOMPARE(rowText(*row, u";"_qs), libreOffice);
        for (const QChar separator : {u',', u';'}) {
            const QStringList fields = readCsvLine(rowText(*row, QString(separator)), separator);
            QCOMPARE(fields, (QStringList{row->label, row->sensor, row->value}));
        }
    }

    void decimalComma_data() {
        addRowColumns();
        QTest::newRow("temperature") << u"BATTERY"_qs << u"temperature: 300"_qs << u"Battery,Temperature C,\"30,0\""_qs
                                     << u"Battery;Temperature C;30,0"_qs
                                     << QStringList{u"Temperature: 30,0 °C / 86,0 °F"_qs};
        QTest::newRow("temperature with a decimal comma")
            << u"BATTERY"_qs << u"temperature: 287,5"_qs << u"Battery,Temperature C,\"28,8\""_qs
            << u"Battery;Temperature C;28,8"_qs << QStringList{u"Temperature: 28,8 °C / 83,8 °F"_qs};
        QTest::newRow("voltage") << u"BATTERY"_qs << u"voltage: 3850"_qs << u"Battery,Voltage mV,3850"_qs
                                 << u"Battery;Voltage mV;3850"_qs
                                 << QStringList{u"Battery voltage: 3,850 V (3850 mV)"_qs};
    }
    void decimalComma() {
        QFETCH(QString, category);
        QFETCH(QString, line);
        QFETCH(QString, excel);
        QFETCH(QString, libreOffice);
        QFETCH(QStringList, notes);
        const LocaleGuard french(QLocale(QLocale::French, QLocale::France));
        reports::SummaryNotes summary;
        const std::optional<reports::CsvRow> row = reports::BuildRow(category, line, false, summary);
        QVERIFY(row);
        QCOMPARE(rowText(*row, u","_qs), excel);
        QCOMPARE(rowText(*row, u";"_qs), libreOffice);
        QCOMPARE(summary.messages, notes);
    }

    void thermalLine_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("parsed");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("value");
        QTest::newRow("full reading") << u"Temperature{mValue=44.3, mType=0, mName=CPU0, mStatus=0}"_qs << true
                                      << u"CPU0"_qs << u"44.3"_qs;
        QTest::newRow("name last") << u"CoolingDevice{mValue=0, mType=2, mName=fan}"_qs << true << u"fan"_qs << u"0"_qs;
        QTest::newRow("no brace, no comma after name") << u"mValue=1, mName=abc"_qs << true << u"ab"_qs << u"1"_qs;
        QTest::newRow("no comma after value") << u"mName=cpu, mValue=3"_qs << false << u"cpu"_qs << QString();
        QTest::newRow("braces inside the name go")
            << u"T{mValue=40, mName=CP}U, mType=1}"_qs << true << u"CPU"_qs << u"40"_qs;
        QTest::newRow("name empty") << u"mValue=1, mName=}"_qs << false << QString() << u"1"_qs;
        QTest::newRow("name= at the very end") << u"mValue=1, mName="_qs << false << QString() << u"1"_qs;
        QTest::newRow("keys count letter case") << u"mvalue=1, mname=x}"_qs << false << QString() << QString();
        QTest::newRow("only mValue") << u"mValue=1, mType=0"_qs << false << QString() << QString();
        QTest::newRow("empty") << QString() << false << QString() << QString();
    }
    void thermalLine() {
        QFETCH(QString, line);
        QFETCH(bool, parsed);
        QFETCH(QString, name);
        QFETCH(QString, value);
        QString gotName = u"stale"_qs;
        QString gotValue = u"stale"_qs;
        QCOMPARE(reports::ParseThermalLine(line, gotName, gotValue), parsed);
        QCOMPARE(gotName, name);
        QCOMPARE(gotValue, value);
    }

    void field_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("excel");
        QTest::addColumn<QString>("libreOffice");
        QTest::newRow("plain") << u"abc"_qs << u"abc"_qs << u"abc"_qs;
        QTest::newRow("empty") << QString() << QString() << QString();
        QTest::newRow("comma") << u"a,b"_qs << u"\"a,b\""_qs << u"a,b"_qs;
        QTest::newRow("semicolon") << u"a;b"_qs << u"a;b"_qs << u"\"a;b\""_qs;
        QTest::newRow("quotes") << u"say \"x\""_qs << u"\"say \"\"x\"\"\""_qs << u"\"say \"\"x\"\"\""_qs;
        QTest::newRow("lone quote") << u"\""_qs << u"\"\"\"\""_qs << u"\"\"\"\""_qs;
        QTest::newRow("CR") << u"a\rb"_qs << u"\"a\rb\""_qs << u"\"a\rb\""_qs;
        QTest::newRow("LF") << u"a\nb"_qs << u"\"a\nb\""_qs << u"\"a\nb\""_qs;
        QTest::newRow("blanks kept unquoted") << u" a b "_qs << u" a b "_qs << u" a b "_qs;
    }
    void field() {
        QFETCH(QString, field);
        QFETCH(QString, excel);
        QFETCH(QString, libreOffice);
        QCOMPARE(reports::CsvField(field, u","_qs), excel);
        QCOMPARE(reports::CsvField(field, u";"_qs), libreOffice);
    }

    void fileName_data() {
        QTest::addColumn<QString>("category");
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<QString>("fileName");
        const struct {
            const char* what;
            const char16_t* category;
            const char16_t* suffix;
            const char16_t* fileName;
        } table[] = {
            {"battery", u"BATTERY", u"_Excel", u"DeviceInfoHW_BATTERY_Excel.csv"},
            {"properties", u"SYSTEM PROPERTIES", u"_LibreOffice", u"DeviceInfoHW_SYSTEM_Props_LibreOffice.csv"},
            {"properties once, any case", u"my properties PROPERTIES", u"_Excel",
             u"DeviceInfoHW_my_Props_PROPERTIES_Excel.csv"},
            {"climbing out", u"../../x", u"_Excel", u"DeviceInfoHW_.._.._x_Excel.csv"},
            {"two dots", u"..", u"_Excel", u"DeviceInfoHW_.._Excel.csv"},
            {"one dot", u".", u"_Excel", u"DeviceInfoHW_._Excel.csv"},
            {"absolute", u"/etc/passwd", u"_Excel", u"DeviceInfoHW__etc_passwd_Excel.csv"},
            {"characters Windows refuses", u"a\\b:c*d?e\"f<g>h|i", u"_Excel",
             u"DeviceInfoHW_a_b_c_d_e_f_g_h_i_Excel.csv"},
            {"control characters",
             u"a\tb\x01"
             u"c\x7f"
             u"d",
             u"_Excel", u"DeviceInfoHW_a_b_c_d_Excel.csv"},
            {"empty", u"", u"_Excel", u"DeviceInfoHW__Excel.csv"},
            {"accents kept", u"Zoé ☃", u"_Excel", u"DeviceInfoHW_Zoé_☃_Excel.csv"},
        };
        for (const auto& row : table)
            QTest::newRow(row.what) << QString::fromUtf16(row.category) << QString::fromUtf16(row.suffix)
                                    << QString::fromUtf16(row.fileName);
    }
    void fileName() {
        QFETCH(QString, category);
        QFETCH(QString, suffix);
        QFETCH(QString, fileName);
        QCOMPARE(reports::CategoryFileName(category, suffix), fileName);
    }

    void longNameFitsAFileSystem_data() {
        QTest::addColumn<QString>("category");
        QTest::newRow("ASCII") << QString(5000, u'x');
        QTest::newRow("two-byte letters") << QString(400, u'é');
        QTest::newRow("surrogate pairs") << QString::fromUtf16(u"😀").repeated(300);
    }
    void longNameFitsAFileSystem() {
        QFETCH(QString, category);
        const QString name = reports::CategoryFileName(category, u"_LibreOffice"_qs);
        QVERIFY(name.toUtf8().size() <= 255);
        QVERIFY(name.toUtf8().size() > 250);
        QVERIFY(name.startsWith(u"DeviceInfoHW_"_qs + category.left(10)));
        QVERIFY(name.endsWith(u"_LibreOffice.csv"_qs));
        QVERIFY(name.isValidUtf16());
    }

    void sharedSafeNamesGetNumbers() {
        const QList<reports::CategoryRows> categories{
            {u"A:B"_qs, {}}, {u"A?B"_qs, {}}, {u"a_b"_qs, {}}, {QString(300, u'x'), {}}, {QString(301, u'x'), {}}};
        const QStringList names = reports::CategoryFileNames(categories, u"_Excel"_qs);
        QCOMPARE(names.mid(0, 3), (QStringList{u"DeviceInfoHW_A_B_Excel.csv"_qs, u"DeviceInfoHW_A_B_2_Excel.csv"_qs,
                                               u"DeviceInfoHW_a_b_3_Excel.csv"_qs}));
        QVERIFY(names[4].endsWith(u"x_2_Excel.csv"_qs) && names[4].toUtf8().size() <= 255);
    }

    void categoriesInTheirOrder() {
        const QStringList raw{u"before any header: 1"_qs, u"--- CPU/GPU ---"_qs, u"--- Zeta ---"_qs,
                              u"--- WIFI ---"_qs,         u"--- Alpha ---"_qs,   u"--- BATTERY ---"_qs,
                              u"--- THERMAL ---"_qs,      u"--- SENSORS ---"_qs, u"--- SYSTEM PROPERTIES ---"_qs};
        const reports::CsvExport result = reports::SplitIntoCategories(raw, u","_qs, false);
        QStringList names;
        for (const reports::CategoryRows& category : result.categories) {
            names.append(category.name);
            QCOMPARE(category.lines.size(), 1);
        }
        QCOMPARE(names, (QStringList{u"BATTERY"_qs, u"SENSORS"_qs, u"SYSTEM PROPERTIES"_qs, u"WIFI"_qs, u"THERMAL"_qs,
                                     u"CPU"_qs, u"Zeta"_qs, u"Alpha"_qs}));
        QCOMPARE(result.summary, QStringList{ImeiNotice});
    }

    void splitting_data() {
        QTest::addColumn<QStringList>("raw");
        QTest::addColumn<QStringList>("categories"); // name, then its lines joined by "|"
        QTest::newRow("lines before the first header give no row")
            << QStringList{u"level: 5"_qs, u""_qs, u"--- BATTERY ---"_qs, u"  level: 80  "_qs}
            << QStringList{u"BATTERY"_qs, u"Category,Sensor,Value|Battery,level,80"_qs};
        QTest::newRow("a header line inside a section")
            << QStringList{u"--- BATTERY ---"_qs, u"level: 5"_qs, u"  --- Weird Thing ---  "_qs, u"voltage: 4000"_qs}
            << QStringList{u"BATTERY"_qs, u"Category,Sensor,Value|Battery,level,5"_qs, u"Weird Thing"_qs,
                           u"Category,Sensor,Value"_qs};
        QTest::newRow("the same header twice")
            << QStringList{u"--- BATTERY ---"_qs, u"a: 1"_qs, u"--- THERMAL ---"_qs, u"x"_qs,
                           u"--- BATTERY ---"_qs, u"b: 2"_qs}
            << QStringList{u"BATTERY"_qs, u"Category,Sensor,Value|Battery,a,1|Battery,b,2"_qs, u"THERMAL"_qs,
                           u"Category,Sensor,Value|Thermal,x,"_qs};
        QTest::newRow("header letter case ignored, CPU/GPU prefix")
            << QStringList{u"--- cpu/gpu usage ---"_qs, u"Load: 1"_qs}
            << QStringList{u"CPU"_qs, u"Category,Sensor,Value|CPU,Load: 1,"_qs};
        QTest::newRow("a differently cased name is another category")
            << QStringList{u"--- battery ---"_qs, u"level: 5"_qs}
            << QStringList{u"battery"_qs, u"Category,Sensor,Value"_qs};
        QTest::newRow("a name that climbs out is kept as read")
            << QStringList{u"--- ../../x ---"_qs, u"a: b"_qs}
            << QStringList{u"../../x"_qs, u"Category,Sensor,Value"_qs};
        QTest::newRow("a sensor line with a trailing blank")
            << QStringList{u"--- SENSORS ---"_qs, u"Sensor List: "_qs}
            << QStringList{u"SENSORS"_qs, u"Category,Sensor,Value|Sensors,Sensor List:,"_qs};
        QTest::newRow("properties header row")
            << QStringList{u"--- SYSTEM PROPERTIES ---"_qs, u"[a.b]: [c]"_qs}
            << QStringList{u"SYSTEM PROPERTIES"_qs, u"Category,Property,Value|System,a.b,c"_qs};
    }
    void splitting() {
        QFETCH(QStringList, raw);
        QFETCH(QStringList, categories);
        const reports::CsvExport result = reports::SplitIntoCategories(raw, u","_qs, false);
        QStringList got;
        for (const reports::CategoryRows& category : result.categories)
            got << category.name << category.lines.join(u'|');
        QCOMPARE(got, categories);
    }

    void frenchHeaderRowsAndWarnings() {
        const QStringList raw{u"--- SYSTEM PROPERTIES ---"_qs, u"[ro.serialno]: [ABC123]"_qs, u"--- WIFI ---"_qs};
        const reports::CsvExport result = reports::SplitIntoCategories(raw, u";"_qs, true);
        QCOMPARE(result.categories.size(), 2);
        QCOMPARE(result.categories[0].lines,
                 (QStringList{u"Category;Propriete;Value"_qs, u"System;ro.serialno;ABC123"_qs}));
        QCOMPARE(result.categories[1].lines, QStringList{u"Category;Sensor;Value"_qs});
        QCOMPARE(result.summary,
                 (QStringList{u"[WARNING] IMEI non disponible (vérifiez l'interface utilisateur du téléphone)"_qs,
                              u"[AVERTISSEMENT] Identifiant sensible detecte: ro.serialno (ABC123)"_qs}));
    }

    void summaryOrder_data() {
        QTest::addColumn<QStringList>("raw");
        QTest::addColumn<QStringList>("summary");
        QTest::newRow("only serial keys: the IMEI notice first")
            << QStringList{u"--- BATTERY ---"_qs, u"temperature: 300"_qs, u"--- SYSTEM PROPERTIES ---"_qs,
                           u"[ro.serialno]: [S1]"_qs, u"[ro.boot.serialno]: [S2]"_qs}
            << QStringList{ImeiNotice, u"Temperature: 30.0 °C / 86.0 °F"_qs,
                           u"[WARNING] Sensitive ID detected: ro.serialno (S1)"_qs,
                           u"[WARNING] Sensitive ID detected: ro.boot.serialno (S2)"_qs};
        QTest::newRow("an IMEI: no notice, lines in file order")
            << QStringList{u"--- SYSTEM PROPERTIES ---"_qs, u"[ro.serialno]: [S1]"_qs, u"[gsm.imei]: [I1]"_qs,
                           u"--- BATTERY ---"_qs, u"voltage: 4000"_qs}
            << QStringList{u"[WARNING] Sensitive ID detected: ro.serialno (S1)"_qs,
                           u"[WARNING] Sensitive ID detected: gsm.imei (I1)"_qs,
                           u"Battery voltage: 4.000 V (4000 mV)"_qs};
        QTest::newRow("imei outside the properties does not count")
            << QStringList{u"--- WIFI ---"_qs, u"imei: 1"_qs} << QStringList{ImeiNotice};
        QTest::newRow("nothing at all") << QStringList() << QStringList{ImeiNotice};
    }
    void summaryOrder() {
        QFETCH(QStringList, raw);
        QFETCH(QStringList, summary);
        QCOMPARE(reports::SplitIntoCategories(raw, u","_qs, false).summary, summary);
    }

    // Whatever bytes the file holds, every row reads back as three fields and no name leaves the folder.
    void badBytes_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("no BOM, lone CR") << QByteArray("--- BATTERY ---\rlevel: 5\r--- WIFI ---\rx: \"y\",z");
        QTest::newRow("invalid UTF-8") << QByteArray("\xEF\xBB\xBF--- SENS\xFF\xFEORS ---\r\nname=\xC3\x28, x\r\n"
                                                     "--- BATTERY ---\r\ntemperature: \xE2\x82\r\n");
        QTest::newRow("zero bytes") << QByteArray("--- CPU/GPU ---\n\0\0load\0;,\n", 24);
        QTest::newRow("a very long header")
            << (QByteArray("--- ") + QByteArray(300000, '/') + QByteArray(" ---\nname=a\n"));
        QTest::newRow("a very long line") << (QByteArray("--- CPU/GPU ---\n") + QByteArray(2000000, ','));
    }
    void badBytes() {
        QFETCH(QByteArray, bytes);
        for (const QString& separator : {u","_qs, u";"_qs}) {
            const reports::CsvExport result =
                reports::SplitIntoCategories(strlist::fromFileBytes(bytes), separator, false);
            QVERIFY(!result.categories.isEmpty());
            for (const reports::CategoryRows& category : result.categories) {
                const QString name = reports::CategoryFileName(category.name, u"_Excel"_qs);
                QVERIFY(!name.contains(u'/') && !name.contains(u'\\'));
                QVERIFY(name.toUtf8().size() <= 255);
                for (const QString& line : category.lines)
                    QCOMPARE(readCsvLine(line, separator[0]).size(), 3);
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestCsvRows)
#include "tst_csvrows.moc"
