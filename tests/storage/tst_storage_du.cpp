#include "logcheck.h"
#include "storage/duspace.h"
#include "ui/panel.h"
#include "ui/textpane.h"

#include <QCheckBox>
#include <QRadioButton>
#include <QTest>

using testsupport::click;

namespace {

const QString AppsLabel = u"Toutes les Applications (Systeme/Utilisateur)"_qs;
const QStringList MediaLabels{u"DCIM"_qs, u"Download"_qs, u"Pictures"_qs, u"Movies"_qs};
const QString Refused = u"<refused>"_qs;

struct Texts {
    const char* title;
    const char* fetching;
    const char* size;
    const char* refused;
    const char* breakingDown;
    const char* summary;
    const char* apps;
    const char* media;
    const char* warning;
};

const Texts English{"--- Calculating Used Space (Apps and Media) ---",
                    "  -> Fetching size for %1...",
                    "     Size: %1",
                    "(Error or Access Denied)",
                    "  -> Breaking down Internal Storage (for permission tolerance)...",
                    "--- Storage Summary (Estimates) ---",
                    "Apps Space (/data/app): ",
                    "Media Space (Estimated): ",
                    "Warning: The `du -sh` calculation often requires root permissions. Results are minimal "
                    "estimates, or 0 if access is fully denied."};
const Texts French{"--- Calcul de l'Espace Utilisé (Apps et Médias) ---",
                   "  -> Récupération de la taille pour %1...",
                   "     Taille: %1",
                   "(Erreur ou Accès Refusé)",
                   "  -> Décomposition Stockage Interne (pour tolérance aux permissions)...",
                   "--- Récapitulatif du Stockage (Estimations) ---",
                   "Espace Apps (/data/app): ",
                   "Espace Médias (Estimé): ",
                   "Attention : Le calcul `du -sh` nécessite souvent des permissions root. Les résultats sont "
                   "des estimations minimales, ou 0 si l'accès est totalement refusé."};

QString t(const char* s) {
    return QString::fromUtf8(s);
}

// The whole log of one run: five size texts (Refused for a red line), the three formatted sums with the
// total's label, and whether the warning closes it.
QList<Look> expectedLog(bool french, const QStringList& sizes, const QStringList& sums, bool warning) {
    const Texts& x = french ? French : English;
    QList<Look> log{{t(x.title), logcolor::Maroon, 11, true}, empty()};
    const auto folder = [&](const QString& label, const QString& size) {
        log.append({t(x.fetching).arg(label), logcolor::Maroon, 9, false});
        if (size == Refused)
            log.append({t(x.size).arg(t(x.refused)), logcolor::Red, 9, false});
        else
            log.append({t(x.size).arg(size), logcolor::Black, 9, false});
    };
    folder(AppsLabel, sizes[0]);
    log.append(empty());
    log.append({t(x.breakingDown), logcolor::Maroon, 9, false});
    for (qsizetype i = 0; i < MediaLabels.size(); ++i)
        folder(MediaLabels[i], sizes[i + 1]);
    log.append(empty());
    log.append({t(x.summary), logcolor::Blue, 11, true});
    log.append({t(x.apps) + sums[0], logcolor::Black, 10, false});
    log.append({t(x.media) + sums[1], logcolor::Black, 10, false});
    log.append(empty());
    log.append({sums[2], logcolor::Black, 10, true});
    if (warning) {
        log.append(empty());
        log.append({t(x.warning), logcolor::Red, 9, true});
    }
    return log;
}

} // namespace

class TestDuSpace : public QObject {
    Q_OBJECT

    testsupport::DialogRecorder dialogs;

private Q_SLOTS:
    void findDuSize_data() {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<bool>("found");
        QTest::addColumn<QString>("sizeStr");
        QTest::newRow("size then complaints")
            << QStringList{u"1.5G\t/data/app"_qs, u"du: /data/app/~~Y0C==: Permission denied"_qs} << true << u"1.5G"_qs;
        QTest::newRow("complaint before the size")
            << QStringList{u"du: /data/app/~~Y0C==: Permission denied"_qs, u"4.0K\t/data/app"_qs} << true << u"4.0K"_qs;
        QTest::newRow("complaint in capitals")
            << QStringList{u"DU: /data/app/x: y"_qs, u"8K /data/app"_qs} << true << u"8K"_qs;
        QTest::newRow("blanks and CR around")
            << QStringList{u"  512K    /storage/emulated/0/DCIM \r"_qs} << true << u"512K"_qs;
        QTest::newRow("size 0 is found") << QStringList{u"0\t/storage/emulated/0/DCIM"_qs} << true << u"0"_qs;
        QTest::newRow("first acceptable line wins")
            << QStringList{u"3.0M\t/storage/emulated/0/Movies"_qs, u"7.0M\t/storage/emulated/0/Movies"_qs} << true
            << u"3.0M"_qs;
        QTest::newRow("path as first field, then a size")
            << QStringList{u"/system/bin/sh: du: inaccessible or not found"_qs, u"12K\t/x"_qs} << true << u"12K"_qs;
        QTest::newRow("only paths as first fields")
            << QStringList{u"/system/bin/sh: du: inaccessible"_qs, u"/bin/sh: 1: du: not found"_qs} << false
            << u"/bin/sh:"_qs;
        QTest::newRow("line without a slash is skipped")
            << QStringList{u"12K data"_qs, u"15K /x"_qs} << true << u"15K"_qs;
        QTest::newRow("one field only") << QStringList{u"/data/app"_qs} << false << QString();
        QTest::newRow("du: without a blank is no complaint") << QStringList{u"du:/x y"_qs} << false << u"du:/x"_qs;
        QTest::newRow("quoted size") << QStringList{u"\"1 G\" /data"_qs} << true << u"1 G"_qs;
        QTest::newRow("quoted empty size") << QStringList{u"\"\" /data"_qs, u"2K /x"_qs} << true << u"2K"_qs;
        QTest::newRow("runner could not start")
            << QStringList{u"ERROR: CreateProcess failed for: \"/opt/adb\" shell du -sh /data/app"_qs} << false
            << QString();
        for (const char* adbSays : {"adb: no devices/emulators found", "error: no devices/emulators found",
                                    "error: device offline", "adb: device 'TLV0A1B2C3D4' not found", "error: closed/x"})
            QTest::newRow(adbSays) << QStringList{QString::fromUtf8(adbSays)} << false << QString();
        QTest::newRow("empty output") << QStringList() << false << QString();
        QTest::newRow("blank lines") << QStringList{QString(), u"  \t"_qs} << false << QString();
    }
    void findDuSize() {
        QFETCH(QStringList, lines);
        QFETCH(bool, found);
        QFETCH(QString, sizeStr);
        QString got = u"left over"_qs;
        QCOMPARE(storage::findDuSize(lines, got), found);
        QCOMPARE(got, sizeStr);
    }

    void summary_data() {
        QTest::addColumn<QString>("profile");
        QTest::addColumn<bool>("french");
        QTest::addColumn<QStringList>("sizes");
        QTest::addColumn<QStringList>("sums");
        QTest::addColumn<bool>("warning");
        const QString dusum = testsupport::dataPath(u"storage/profiles/dusum"_qs);
        QTest::newRow("modern phone") << u"modern"_qs << false
                                      << QStringList{u"1.5G"_qs, u"4.2G"_qs, u"318M"_qs, u"1.1G"_qs, u"2.6G"_qs}
                                      << QStringList{u"1.5 Go"_qs, u"8.2 Go"_qs, u"Total (Apps + Media): **9.7 Go**"_qs}
                                      << false;
        QTest::newRow("sum example") << dusum << false
                                     << QStringList{u"1.5G"_qs, u"512K"_qs, u"12M"_qs, u"0"_qs, u"1.0G"_qs}
                                     << QStringList{u"1.5 Go"_qs, u"1.0 Go"_qs, u"Total (Apps + Media): **2.5 Go**"_qs}
                                     << false;
        QTest::newRow("sum example in French")
            << dusum << true << QStringList{u"1.5G"_qs, u"512K"_qs, u"12M"_qs, u"0"_qs, u"1.0G"_qs}
            << QStringList{u"1,5 Go"_qs, u"1,0 Go"_qs, u"Total (Apps + Médias): **2,5 Go**"_qs} << false;
        QTest::newRow("all refused") << testsupport::dataPath(u"storage/profiles/durefused"_qs) << false
                                     << QStringList{Refused, Refused, Refused, Refused, Refused}
                                     << QStringList{u"0 o"_qs, u"0 o"_qs, u"Total (Apps + Media): **0 o**"_qs} << true;
        QTest::newRow("all refused in French")
            << testsupport::dataPath(u"storage/profiles/durefused"_qs) << true
            << QStringList{Refused, Refused, Refused, Refused, Refused}
            << QStringList{u"0 o"_qs, u"0 o"_qs, u"Total (Apps + Médias): **0 o**"_qs} << true;
        QTest::newRow("apps refused, media found")
            << testsupport::dataPath(u"storage/profiles/dumedia"_qs) << false
            << QStringList{Refused, u"4.0K"_qs, Refused, u"2,5M"_qs, u"3.0M"_qs}
            << QStringList{u"0 o"_qs, u"5.5 Mo"_qs, u"Total (Media): **5.5 Mo**"_qs} << false;
        QTest::newRow("apps refused, media found, in French")
            << testsupport::dataPath(u"storage/profiles/dumedia"_qs) << true
            << QStringList{Refused, u"4.0K"_qs, Refused, u"2,5M"_qs, u"3.0M"_qs}
            << QStringList{u"0 o"_qs, u"5,5 Mo"_qs, u"Total (Médias): **5,5 Mo**"_qs} << false;
        QTest::newRow("media beyond 64 bits stop at the largest count")
            << testsupport::dataPath(u"storage/profiles/duoverflow"_qs) << false
            << QStringList{u"1.5G"_qs, u"9999999999P"_qs, u"318M"_qs, u"1.1G"_qs, u"2.6G"_qs}
            << QStringList{u"1.5 Go"_qs, u"8192.0 Po"_qs, u"Total (Apps + Media): **8192.0 Po**"_qs} << false;
        QTest::newRow("every folder 0") << testsupport::dataPath(u"storage/profiles/duzero"_qs) << false
                                        << QStringList{u"0"_qs, u"0"_qs, u"0"_qs, u"0"_qs, u"0"_qs}
                                        << QStringList{u"0 o"_qs, u"0 o"_qs, u"Total (Apps + Media): **0 o**"_qs}
                                        << true;
    }
    void summary() {
        QFETCH(QString, profile);
        QFETCH(bool, french);
        QFETCH(QStringList, sizes);
        QFETCH(QStringList, sums);
        QFETCH(bool, warning);
        testsupport::useProfile(profile);
        SimLog sim;
        TForm13 form(testsupport::quietUpdateServer());
        if (french)
            click(form.RadioButtonFR);
        click(form.PanelDiskSpaceAppsMedia);
        compareLog(form.RichEdit1, expectedLog(french, sizes, sums, warning));
        QCOMPARE(sim.commands(), (QStringList{u"devices"_qs, u"-s TLV0A1B2C3D4 shell du -sh /data/app"_qs,
                                              u"-s TLV0A1B2C3D4 shell du -sh /storage/emulated/0/DCIM"_qs,
                                              u"-s TLV0A1B2C3D4 shell du -sh /storage/emulated/0/Download"_qs,
                                              u"-s TLV0A1B2C3D4 shell du -sh /storage/emulated/0/Pictures"_qs,
                                              u"-s TLV0A1B2C3D4 shell du -sh /storage/emulated/0/Movies"_qs}));
        QVERIFY(dialogs.errors().isEmpty());
    }

    void noPhoneLeavesOnlyTheConnectionTest() {
        testsupport::useProfile(u"nophone"_qs);
        SimLog sim;
        TForm13 form(testsupport::quietUpdateServer());
        click(form.PanelDiskSpaceAppsMedia);
        QCOMPARE(form.RichEdit1->lines(),
                 (QStringList{u"--- Testing ADB connection... ---"_qs, QString(),
                              u"Connection failed: No device found. Check ADB instructions."_qs}));
        QCOMPARE(sim.commands(), QStringList{u"devices"_qs});
    }

    void verboseEchoesSitBetweenTheLines() {
        testsupport::useProfile(u"modern"_qs);
        TForm13 form(testsupport::quietUpdateServer());
        form.CheckBoxVerbose->setChecked(true);
        click(form.PanelDiskSpaceAppsMedia);
        const QStringList lines = form.RichEdit1->lines();
        const qsizetype fetching = lines.indexOf(u"  -> Fetching size for DCIM..."_qs);
        QVERIFY(fetching > 0);
        QVERIFY(lines[fetching + 1].startsWith(u"> \""_qs));
        QVERIFY(lines[fetching + 1].endsWith(u"\" shell du -sh /storage/emulated/0/DCIM"_qs));
        QCOMPARE(lines.last(), u"Total (Apps + Media): **9.7 Go**"_qs);
    }
};

QTEST_MAIN(TestDuSpace)
#include "tst_storage_du.moc"
