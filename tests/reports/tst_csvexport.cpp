#include "base/strlist.h"
#include "testsupport.h"
#include "ui/panel.h"
#include "ui/textpane.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QRadioButton>
#include <QTest>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

using testsupport::click;

namespace {

const QStringList StandardFiles{u"BATTERY"_qs, u"SENSORS"_qs, u"SYSTEM_Props"_qs, u"WIFI"_qs, u"THERMAL"_qs, u"CPU"_qs};
const QStringList StandardNames{u"BATTERY"_qs, u"SENSORS"_qs, u"SYSTEM PROPERTIES"_qs,
                                u"WIFI"_qs,    u"THERMAL"_qs, u"CPU"_qs};

QByteArray readBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// Number of fields of a CSV line as a spreadsheet splits it (RFC 4180 quoting).
int fieldCount(const QString& line, QChar separator) {
    int fields = 1;
    bool quoted = false;
    for (const QChar c : line) {
        if (c == u'"')
            quoted = !quoted;
        else if (c == separator && !quoted)
            ++fields;
    }
    return fields;
}

Panel* panelOf(TForm13& form, const QString& suffix) {
    return suffix == u"_Excel"_qs ? form.PanelCSVExcel : form.PanelCSVLibreOffice;
}

} // namespace

class TestCsvExport : public QObject {
    Q_OBJECT

    void addVariants() {
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<QString>("separator");
        QTest::newRow("Excel") << u"_Excel"_qs << u","_qs;
        QTest::newRow("LibreOffice") << u"_LibreOffice"_qs << u";"_qs;
    }

private Q_SLOTS:
    void recordedPhoneEndToEnd_data() { addVariants(); }
    void recordedPhoneEndToEnd() {
        QFETCH(QString, suffix);
        QFETCH(QString, separator);
        testsupport::FreshHome home;
        testsupport::DialogRecorder dialogs;
        testsupport::useProfile(u"modern"_qs);
        TForm13 form(testsupport::quietUpdateServer());
        click(form.PanelRawDump);
        click(panelOf(form, suffix));
        QCOMPARE(dialogs.shown().size(), 0);
        const QDir out(home.outputFolder());

        QStringList expectedFiles{u"DeviceInfoHW_Complete_Raw.txt"_qs};
        for (const QString& name : StandardFiles)
            expectedFiles.append(u"DeviceInfoHW_"_qs + name + suffix + u".csv"_qs);
        expectedFiles.sort();
        QCOMPARE(testsupport::filesBelow(out.path()), expectedFiles);

        QStringList battery{u"Category,Sensor,Value"_qs,
                            u"Battery,Current Battery Service state,"_qs,
                            u"Battery,AC powered,true"_qs,
                            u"Battery,USB powered,false"_qs,
                            u"Battery,Wireless powered,false"_qs,
                            u"Battery,Dock powered,false"_qs,
                            u"Battery,Max charging current,1500000"_qs,
                            u"Battery,Max charging voltage,5000000"_qs,
                            u"Battery,Charge counter,3376000"_qs,
                            u"Battery,status,4"_qs,
                            u"Battery,health,3"_qs,
                            u"Battery,present,true"_qs,
                            u"Battery,level,80"_qs,
                            u"Battery,scale,100"_qs,
                            u"Battery,Voltage mV,4200"_qs,
                            u"Battery,Temperature C,18.0"_qs,
                            u"Battery,technology,Li-ion"_qs,
                            u"Battery,Charging state,4"_qs,
                            u"Battery,Charging policy,1"_qs,
                            u"Battery,Capacity level,3"_qs};
        for (QString& row : battery)
            row.replace(u',', separator[0]);
        QCOMPARE(readBytes(out.filePath(u"DeviceInfoHW_BATTERY"_qs + suffix + u".csv"_qs)),
                 QByteArray("\xEF\xBB\xBF") + battery.join(u"\r\n"_qs).toUtf8() + "\r\n");

        const QStringList props =
            strlist::fromFileBytes(readBytes(out.filePath(u"DeviceInfoHW_SYSTEM_Props"_qs + suffix + u".csv"_qs)));
        QCOMPARE(props.first(), u"Category%1Property%1Value"_qs.arg(separator));
        const QString abilist =
            separator == u","_qs ? u"\"arm64-v8a,armeabi-v7a,armeabi\""_qs : u"arm64-v8a,armeabi-v7a,armeabi"_qs;
        QVERIFY(props.contains(u"System%1ro.product.cpu.abilist%1"_qs.arg(separator) + abilist));
        QVERIFY(props.contains(u"System%1persist.sys.device_name%1Téléphone de Zoé"_qs.arg(separator)));
        QCOMPARE(
            strlist::fromFileBytes(readBytes(out.filePath(u"DeviceInfoHW_THERMAL"_qs + suffix + u".csv"_qs))).mid(0, 3),
            (QStringList{u"Category%1Sensor%1Value"_qs.arg(separator),
                         u"Thermal%1IsStatusOverride: false%1"_qs.arg(separator),
                         u"Thermal%1ThermalEventListeners:%1"_qs.arg(separator)}));
        for (const QString& name : StandardFiles)
            for (const QString& line :
                 strlist::fromFileBytes(readBytes(out.filePath(u"DeviceInfoHW_"_qs + name + suffix + u".csv"_qs))))
                QVERIFY2(fieldCount(line, separator[0]) == 3, qPrintable(line));

        const QString folder = QDir::toNativeSeparators(home.outputFolder());
        QStringList log{u"--- Testing ADB connection... ---"_qs, QString(), u"--- Generating CSVs... ---"_qs, QString(),
                        QString()};
        for (const QString& name : StandardNames)
            log.append(name + u" CSV written in folder: "_qs + folder);
        log << QString() << u"--- Frequently Searched Info ---"_qs << u"Battery voltage: 4.200 V (4200 mV)"_qs
            << u"Temperature: 18.0 °C / 64.4 °F"_qs
            << u"[WARNING] Sensitive ID detected: persist.radio.imei (354672105839201)"_qs
            << u"[WARNING] Sensitive ID detected: ro.boot.serialconsole (0)"_qs
            << u"[WARNING] Sensitive ID detected: ro.boot.serialno (TLV0A1B2C3D4)"_qs
            << u"[WARNING] Sensitive ID detected: ro.serialno (TLV0A1B2C3D4)"_qs;
        QCOMPARE(form.RichEdit1->lines(), log);
        const QList<testsupport::LineLook> looks = testsupport::lineLooks(form.RichEdit1);
        const struct {
            int line;
            QRgb color;
            bool bold;
        } styles[] = {{2, 0x800000, true}, {5, 0x000000, false}, {12, 0x0000FF, true}, {13, 0xFF0000, false}};
        for (const auto& s : styles) {
            QCOMPARE(looks[s.line].color, QColor(s.color));
            QCOMPARE(looks[s.line].size, 10);
            QCOMPARE(looks[s.line].bold, s.bold);
        }
    }

    void frenchRun() {
        testsupport::FreshHome home;
        testsupport::DialogRecorder dialogs;
        testsupport::useProfile(testsupport::dataPath(u"reports/profiles/small"_qs));
        TForm13 form(testsupport::quietUpdateServer());
        click(form.RadioButtonFR);
        click(form.PanelRawDump);
        click(form.PanelCSVLibreOffice);
        const QDir out(home.outputFolder());
        QCOMPARE(readBytes(out.filePath(u"DeviceInfoHW_SYSTEM_Props_LibreOffice.csv"_qs)),
                 QByteArray("\xEF\xBB\xBF"
                            "Category;Propriete;Value\r\n"
                            "System;ro.product.model;Model 7\r\n"
                            "System;ro.serialno;ABC123\r\n"
                            "System;ro.product.cpu.abilist;arm64-v8a,armeabi-v7a\r\n"
                            "System;x.y;\r\n"));
        QCOMPARE(readBytes(out.filePath(u"DeviceInfoHW_SENSORS_LibreOffice.csv"_qs)),
                 QByteArray("\xEF\xBB\xBF"
                            "Category;Sensor;Value\r\n"));
        const QString folder = QDir::toNativeSeparators(home.outputFolder());
        const QStringList lines = form.RichEdit1->lines();
        QCOMPARE(lines.mid(2),
                 (QStringList{u"--- Génération des CSV en cours... ---"_qs, QString(), QString(),
                              u"CSV BATTERY ecrit dans le dossier : "_qs + folder,
                              u"CSV SENSORS ecrit dans le dossier : "_qs + folder,
                              u"CSV SYSTEM PROPERTIES ecrit dans le dossier : "_qs + folder,
                              u"CSV WIFI ecrit dans le dossier : "_qs + folder,
                              u"CSV THERMAL ecrit dans le dossier : "_qs + folder,
                              u"CSV CPU ecrit dans le dossier : "_qs + folder, QString(),
                              u"--- Infos souvent recherchees ---"_qs,
                              u"[WARNING] IMEI non disponible (vérifiez l'interface utilisateur du "
                              "téléphone)"_qs,
                              u"Temperature: 28.7 °C / 83.7 °F"_qs, u"Battery voltage: 3.850 V (3850 mV)"_qs,
                              u"[AVERTISSEMENT] Identifiant sensible detecte: ro.serialno (ABC123)"_qs}));
    }

    void missingDump_data() { addVariants(); }
    void missingDump() {
        QFETCH(QString, suffix);
        testsupport::FreshHome home;
        testsupport::DialogRecorder dialogs;
        testsupport::useProfile(u"modern"_qs);
        TForm13 form(testsupport::quietUpdateServer());
        click(panelOf(form, suffix));
        const QString path = QDir::toNativeSeparators(home.outputFolder() + u"/DeviceInfoHW_Complete_Raw.txt"_qs);
        const QList<testsupport::LineLook> looks = testsupport::lineLooks(form.RichEdit1);
        QCOMPARE(looks.size(), 3);
        QCOMPARE(looks[2].text, u"Error: RAW dump file ("_qs + path + u") is missing. Generate the RAW dump first."_qs);
        QCOMPARE(looks[2].color, QColor(0xFF0000));
        QVERIFY(looks[2].bold);
        QVERIFY(QDir(home.outputFolder()).exists());
        QCOMPARE(testsupport::filesBelow(home.outputFolder()), QStringList());

        click(form.RadioButtonFR);
        click(panelOf(form, suffix));
        QCOMPARE(form.RichEdit1->lines().last(),
                 u"Erreur : Le fichier RAW dump ("_qs + path + u") est manquant. Generez le RAW dump d'abord."_qs);

        QVERIFY(QDir(home.outputFolder()).mkdir(u"DeviceInfoHW_Complete_Raw.txt"_qs));
        click(panelOf(form, suffix));
        QVERIFY(form.RichEdit1->lines().last().startsWith(u"Erreur : Le fichier RAW dump ("_qs));
        QVERIFY(dialogs.errors().isEmpty());
    }

    void noDeviceWritesNothing_data() { addVariants(); }
    void noDeviceWritesNothing() {
        QFETCH(QString, suffix);
        testsupport::FreshHome home;
        testsupport::DialogRecorder dialogs;
        writeBytes(QDir(home.outputFolder()).filePath(u"DeviceInfoHW_Complete_Raw.txt"_qs), "--- BATTERY ---\r\n");
        testsupport::useProfile(u"nophone"_qs);
        TForm13 form(testsupport::quietUpdateServer());
        click(panelOf(form, suffix));
        QCOMPARE(testsupport::filesBelow(home.path()),
                 QStringList{u"Desktop/Telvane/DeviceInfoHW_Complete_Raw.txt"_qs});
        QCOMPARE(form.RichEdit1->lines().last(), u"Connection failed: No device found. Check ADB instructions."_qs);
        QCOMPARE(dialogs.shown().size(), 0);
    }

    // The SENSORS file cannot be written: the files of the export are replaced together or not at all, so
    // every earlier file keeps its content, nothing half-written stays, and the error reaches the error report.
    void unwritableFileStopsTheRun_data() { addVariants(); }
    void unwritableFileStopsTheRun() {
        QFETCH(QString, suffix);
        testsupport::FreshHome home;
        testsupport::DialogRecorder dialogs;
        testsupport::useProfile(testsupport::dataPath(u"reports/profiles/small"_qs));
        const QDir out(home.outputFolder());
        TForm13 form(testsupport::quietUpdateServer());
        click(form.PanelRawDump);
        const QString battery = out.filePath(u"DeviceInfoHW_BATTERY"_qs + suffix + u".csv"_qs);
        const QString props = out.filePath(u"DeviceInfoHW_SYSTEM_Props"_qs + suffix + u".csv"_qs);
        writeBytes(battery, "old battery");
        writeBytes(props, "old properties");
        QVERIFY(out.mkpath(u"DeviceInfoHW_SENSORS"_qs + suffix + u".csv/x"_qs));
        const QStringList before = testsupport::filesBelow(out.path());

        click(panelOf(form, suffix));
        QCOMPARE(dialogs.errors().size(), 1);
        QVERIFY2(dialogs.errors()[0].startsWith(u"Cannot write file \""_qs +
                                                QDir::toNativeSeparators(out.filePath(u"DeviceInfoHW_SENSORS"_qs))),
                 qPrintable(dialogs.errors()[0]));
        QCOMPARE(testsupport::filesBelow(out.path()), before);
        QCOMPARE(readBytes(battery), QByteArray("old battery"));
        QCOMPARE(readBytes(props), QByteArray("old properties"));
        QVERIFY(!form.RichEdit1->toPlainText().contains(u"CSV written"_qs));
#ifdef Q_OS_WIN
        // A spreadsheet holding a file open stops the export the same way.
        QVERIFY(out.rmpath(u"DeviceInfoHW_SENSORS"_qs + suffix + u".csv/x"_qs));
        const HANDLE held = CreateFileW(reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(props).utf16()),
                                        GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        dialogs.clear();
        click(panelOf(form, suffix));
        CloseHandle(held);
        QVERIFY2(dialogs.errors().value(0).endsWith(u": The file is open in another program."_qs),
                 qPrintable(dialogs.errors().value(0)));
        QCOMPARE(readBytes(battery), QByteArray("old battery"));
        QVERIFY(!form.RichEdit1->toPlainText().contains(u"CSV written"_qs));
#endif
    }

    // A dump the phone's own text made hostile: header lines that name paths, bytes that are not UTF-8,
    // lone CRs, no byte-order mark. Nothing may leave the output folder and the run completes.
    void hostileDumpStaysInTheFolder_data() {
        addVariants();
    }
    void hostileDumpStaysInTheFolder() {
        QFETCH(QString, suffix);
        QFETCH(QString, separator);
        testsupport::FreshHome home;
        testsupport::DialogRecorder dialogs;
        testsupport::useProfile(u"modern"_qs);
        const QDir out(home.outputFolder());
        writeBytes(out.filePath(u"DeviceInfoHW_Complete_Raw.txt"_qs),
                   "--- BATTERY ---\rtemperature: 3\xff"
                   "0\r--- ../../x ---\n--- /tmp/evil ---\r\n--- /tmp:evil ---\n--- .. ---\n--- . ---\n"
                   "--- C:\\Windows\\x ---\n--- a\x01:b*?\"<>| ---\n--- CPU/GPU ---\nLoad: \"1\", 2; 3\n"
                   "--- " +
                       QByteArray(100000, 'y') + " ---\n");
        TForm13 form(testsupport::quietUpdateServer());
        click(panelOf(form, suffix));
        QCOMPARE(dialogs.shown().size(), 0);
        QStringList expected{
            u"Desktop/Telvane/DeviceInfoHW_Complete_Raw.txt"_qs,
            u"Desktop/Telvane/DeviceInfoHW_BATTERY%1.csv"_qs.arg(suffix),
            u"Desktop/Telvane/DeviceInfoHW_CPU%1.csv"_qs.arg(suffix),
            u"Desktop/Telvane/DeviceInfoHW_.._.._x%1.csv"_qs.arg(suffix),
            u"Desktop/Telvane/DeviceInfoHW__tmp_evil%1.csv"_qs.arg(suffix),
            u"Desktop/Telvane/DeviceInfoHW__tmp_evil_2%1.csv"_qs.arg(suffix),
            u"Desktop/Telvane/DeviceInfoHW_..%1.csv"_qs.arg(suffix),
            u"Desktop/Telvane/DeviceInfoHW_.%1.csv"_qs.arg(suffix),
            u"Desktop/Telvane/DeviceInfoHW_C__Windows_x%1.csv"_qs.arg(suffix),
            u"Desktop/Telvane/DeviceInfoHW_a__b______%1.csv"_qs.arg(suffix),
        };
        const QStringList found = testsupport::filesBelow(home.path());
        QCOMPARE(found.size(), expected.size() + 1);
        for (const QString& name : expected)
            QVERIFY2(found.contains(name), qPrintable(name));
        QCOMPARE(readBytes(out.filePath(u"DeviceInfoHW_CPU%1.csv"_qs.arg(suffix))),
                 (u"\uFEFFCategory%1Sensor%1Value\r\nCPU%1\"Load: \"\"1\"\", 2; 3\"%1\r\n"_qs.arg(separator)).toUtf8());
        QCOMPARE(readBytes(out.filePath(u"DeviceInfoHW_BATTERY%1.csv"_qs.arg(suffix))),
                 (u"\uFEFFCategory%1Sensor%1Value\r\nBattery%1Temperature C%1"_qs.arg(separator) + u"3\uFFFD0\r\n"_qs)
                     .toUtf8());
        // The messages name each category as read.
        QVERIFY(form.RichEdit1->lines().contains(u"../../x CSV written in folder: "_qs +
                                                 QDir::toNativeSeparators(out.path())));
        QVERIFY(form.RichEdit1->lines().contains(
            u"/tmp:evil CSV written in folder: %1 (DeviceInfoHW__tmp_evil_2%2.csv)"_qs.arg(
                QDir::toNativeSeparators(out.path()), suffix)));
    }

    // Every file a phone's reading writes has the same bytes whatever system wrote it: one digest over them all,
    // the same constant on Linux and on Windows.
    void sameFilesOnEveryPlatform() {
        testsupport::FreshHome home;
        testsupport::DialogRecorder dialogs;
        testsupport::useProfile(u"modern"_qs);
        TForm13 form(testsupport::quietUpdateServer());
        for (Panel* panel : {form.PanelConnect, form.PanelRawDump, form.PanelCSVExcel, form.PanelCSVLibreOffice,
                             form.PanelGenerateAppsList})
            click(panel);
        form.RichEdit2->appendLines({u"--- JEUX ---"_qs, u"échecs"_qs});
        click(form.PanelSaveGroups);
        QCryptographicHash digest(QCryptographicHash::Sha256);
        for (const QString& name : testsupport::filesBelow(home.outputFolder())) {
            const QByteArray bytes = readBytes(QDir(home.outputFolder()).filePath(name));
            qInfo("%s %s", qPrintable(name),
                  QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex().data());
            digest.addData(name.toUtf8() + '\0' + bytes);
        }
        QCOMPARE(digest.result().toHex(),
                 QByteArray("f509a55d855b31338d8c542d7b7272f58d21ade9a10fe93144c83196bfcd4df2"));
    }

    void tenMegabyteDump() {
        testsupport::FreshHome home;
        testsupport::DialogRecorder dialogs;
        testsupport::useProfile(u"modern"_qs);
        TForm13 form(testsupport::quietUpdateServer());
        click(form.PanelRawDump);
        const QString raw = QDir(home.outputFolder()).filePath(u"DeviceInfoHW_Complete_Raw.txt"_qs);
        const QByteArray once = readBytes(raw);
        QByteArray big = once;
        while (big.size() < 10 * 1024 * 1024)
            big += once.mid(3);
        writeBytes(raw, big);
        click(form.PanelCSVExcel);
        QCOMPARE(dialogs.shown().size(), 0);
        const QStringList props = strlist::fromFileBytes(
            readBytes(QDir(home.outputFolder()).filePath(u"DeviceInfoHW_SYSTEM_Props_Excel.csv"_qs)));
        const int copies = static_cast<int>(big.size() / (once.size() - 3));
        QVERIFY(props.count(u"System,ro.serialno,TLV0A1B2C3D4"_qs) >= copies);
    }
};

QTEST_MAIN(TestCsvExport)
#include "tst_csvexport.moc"
