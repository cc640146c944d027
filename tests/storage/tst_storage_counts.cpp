#include "logcheck.h"
#include "storage/mediacount.h"
#include "ui/panel.h"
#include "ui/textpane.h"

#include <QRadioButton>
#include <QTest>

#include <limits>

using testsupport::click;
using Kind = storage::CountReading::Kind;

namespace {

const QString NoLine = u"<none>"_qs;
const QString ParseError = u"<parse error>"_qs;

struct Texts {
    const char* title;
    const char* photoProgress;
    const char* photosFound;
    const char* videoProgress;
    const char* videosFound;
    const char* parseError;
    const char* finalResult;
    const char* totalPhotos;
    const char* totalVideos;
    const char* sum;
    const char* warning;
};

const Texts English{"--- Calculating Photo and Video Counts (ROOT Mode) ---",
                    "  -> Searching for Photos (JPG, PNG, etc.) via ROOT find...",
                    "     Photos found: %1",
                    "  -> Searching for Videos (MP4, MOV, etc.) via ROOT find...",
                    "     Videos found: %1",
                    "     Parsing error (Unexpected root output).",
                    "--- Final Result ---",
                    "Total Photos: ",
                    "Total Videos: ",
                    "Total Media (Photos + Videos): **%1**",
                    "❗ Count is zero: This means root access was not granted (no \"su\" or permission denied)."};
const Texts French{"--- Calcul du Nombre de Photos et Vidéos (Mode ROOT) ---",
                   "  -> Recherche des Photos (JPG, PNG, etc.) via ROOT find...",
                   "     Photos trouvées: %1",
                   "  -> Recherche des Vidéos (MP4, MOV, etc.) via ROOT find...",
                   "     Vidéos trouvées: %1",
                   "     Erreur de parsing (Sortie root inattendue).",
                   "--- Résultat Final ---",
                   "Total Photos: ",
                   "Total Vidéos: ",
                   "Total Médias (Photos + Vidéos): **%1**",
                   "❗ Le compte est zéro : Cela signifie que l'accès root n'a pas été accordé (pas de \"su\" ou "
                   "permission refusée)."};

QString t(const char* s) {
    return QString::fromUtf8(s);
}

// found: the count line's number, NoLine or ParseError.
QList<Look> expectedLog(bool french, const QString& photosFound, const QString& videosFound, int photos, int videos) {
    const Texts& x = french ? French : English;
    QList<Look> log{{t(x.title), logcolor::Maroon, 11, true}, empty()};
    const auto search = [&](const char* progress, const char* foundText, const QString& found) {
        log.append({t(progress), logcolor::Maroon, 9, false});
        if (found == ParseError)
            log.append({t(x.parseError), logcolor::Red, 9, false});
        else if (found != NoLine)
            log.append({t(foundText).arg(found), logcolor::Black, 9, false});
    };
    search(x.photoProgress, x.photosFound, photosFound);
    log.append(empty());
    search(x.videoProgress, x.videosFound, videosFound);
    log.append(empty());
    log.append({t(x.finalResult), logcolor::Blue, 11, true});
    log.append({t(x.totalPhotos) + QString::number(photos), logcolor::Black, 10, false});
    log.append({t(x.totalVideos) + QString::number(videos), logcolor::Black, 10, false});
    log.append(empty());
    log.append({t(x.sum).arg(qint64(photos) + videos), logcolor::Black, 10, true});
    if (qint64(photos) + videos == 0) {
        log.append(empty());
        log.append({t(x.warning), logcolor::Red, 9, true});
    }
    return log;
}

} // namespace

class TestCounts : public QObject {
    Q_OBJECT

    testsupport::DialogRecorder dialogs;

private Q_SLOTS:
    void readCount_data() {
        QTest::addColumn<QStringList>("output");
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("count");
        const int counted = int(Kind::Counted);
        const int parseError = int(Kind::ParseError);
        QTest::newRow("plain") << QStringList{u"1234"_qs} << counted << 1234;
        QTest::newRow("blanks around") << QStringList{u"   1234  \r"_qs} << counted << 1234;
        QTest::newRow("zero") << QStringList{u"0"_qs} << counted << 0;
        QTest::newRow("further lines do not matter")
            << QStringList{u"3"_qs, u"find: x: Permission denied"_qs} << counted << 3;
        QTest::newRow("plus sign") << QStringList{u"+7"_qs} << counted << 7;
        QTest::newRow("negative number") << QStringList{u"-5"_qs} << counted << -5;
        QTest::newRow("largest 32-bit") << QStringList{u"2147483647"_qs} << counted << 2147483647;
        QTest::newRow("12abc") << QStringList{u"12abc"_qs} << parseError << 12;
        QTest::newRow("count after a complaint is not read")
            << QStringList{u"su: permission denied"_qs, u"7"_qs} << parseError << 0;
        QTest::newRow("su missing") << QStringList{u"/system/bin/sh: su: inaccessible or not found"_qs} << parseError
                                    << 0;
        QTest::newRow("sign is not read on an error") << QStringList{u"-12abc"_qs} << parseError << 0;
        QTest::newRow("blank inside") << QStringList{u"12 34"_qs} << parseError << 12;
        QTest::newRow("beyond 32 bits") << QStringList{u"2147483648"_qs} << parseError << 2147483647;
        QTest::newRow("far beyond 64 bits") << QStringList{u"99999999999999999999999"_qs} << parseError << 2147483647;
        QTest::newRow("empty first line") << QStringList{QString(), u"5"_qs} << parseError << 0;
        QTest::newRow("runner error") << QStringList{u"ERROR: CreateProcess failed for: x"_qs} << parseError << 0;
        QTest::newRow("no output") << QStringList() << int(Kind::NoOutput) << 0;
    }
    void readCount() {
        QFETCH(QStringList, output);
        QFETCH(int, kind);
        QFETCH(int, count);
        const storage::CountReading reading = storage::readCount(output);
        QCOMPARE(int(reading.kind), kind);
        QCOMPARE(reading.count, count);
    }

    void panel_data() {
        QTest::addColumn<QString>("profile");
        QTest::addColumn<bool>("french");
        QTest::addColumn<QString>("photosFound");
        QTest::addColumn<QString>("videosFound");
        QTest::addColumn<int>("photos");
        QTest::addColumn<int>("videos");
        const auto mine = [](const char* name) { return testsupport::dataPath(u"storage/profiles/"_qs + t(name)); };
        QTest::newRow("modern phone") << u"modern"_qs << false << u"1234"_qs << u"56"_qs << 1234 << 56;
        QTest::newRow("modern phone in French") << u"modern"_qs << true << u"1234"_qs << u"56"_qs << 1234 << 56;
        QTest::newRow("no root") << u"noroot"_qs << false << ParseError << ParseError << 0 << 0;
        QTest::newRow("no root in French") << u"noroot"_qs << true << ParseError << ParseError << 0 << 0;
        // The phone's shell runs "| wc -l" itself and prints 0 after the complaint.
        QTest::newRow("no root, pipe on the phone") << u"noroot-pipe"_qs << false << ParseError << ParseError << 0 << 0;
        QTest::newRow("10 and 5") << mine("counts-tenfive") << false << u"10"_qs << u"5"_qs << 10 << 5;
        QTest::newRow("0 and 0") << mine("counts-zero") << false << u"0"_qs << u"0"_qs << 0 << 0;
        QTest::newRow("blanks around, 12abc") << mine("counts-odd") << false << u"1234"_qs << ParseError << 1234 << 12;
        QTest::newRow("no output at all") << mine("counts-silent") << false << NoLine << NoLine << 0 << 0;
        QTest::newRow("sum beyond 32 bits")
            << mine("counts-max") << false << u"2147483647"_qs << u"1"_qs << 2147483647 << 1;
        QTest::newRow("only the first line counts") << mine("counts-extra") << false << u"3"_qs << ParseError << 3 << 0;
    }
    void panel() {
        QFETCH(QString, profile);
        QFETCH(bool, french);
        QFETCH(QString, photosFound);
        QFETCH(QString, videosFound);
        QFETCH(int, photos);
        QFETCH(int, videos);
        testsupport::useProfile(profile);
        SimLog sim;
        TForm13 form(testsupport::quietUpdateServer());
        if (french)
            click(form.RadioButtonFR);
        click(form.PanelPhotoVideoNumber);
        compareLog(form.RichEdit1, expectedLog(french, photosFound, videosFound, photos, videos));
        QCOMPARE(
            sim.commands(),
            (QStringList{
                u"devices"_qs,
                u"-s TLV0A1B2C3D4 shell su -c find /storage/emulated/0 -type f -iregex '.*.\\(jpg\\|jpeg\\|png\\|gif\\|webp\\|heic\\)' | wc -l"_qs,
                u"-s TLV0A1B2C3D4 shell su -c find /storage/emulated/0 -type f -iregex '.*.\\(mp4\\|mov\\|avi\\|webm\\|3gp\\|mkv\\)' | wc -l"_qs}));
        QVERIFY(dialogs.errors().isEmpty());
    }

    void noPhoneLeavesOnlyTheConnectionTest() {
        testsupport::useProfile(u"nophone"_qs);
        SimLog sim;
        TForm13 form(testsupport::quietUpdateServer());
        click(form.PanelPhotoVideoNumber);
        QCOMPARE(form.RichEdit1->lines(),
                 (QStringList{u"--- Testing ADB connection... ---"_qs, QString(),
                              u"Connection failed: No device found. Check ADB instructions."_qs}));
        QCOMPARE(sim.commands(), QStringList{u"devices"_qs});
    }
};

QTEST_MAIN(TestCounts)
#include "tst_storage_counts.moc"
