#include "base/strlist.h"
#include "testsupport.h"
#include "ui/panel.h"
#include "ui/textpane.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

using testsupport::click;
using testsupport::lineLook;

namespace {

// The 26 third-party packages of the simulated modern phone, reduced and sorted as a person would.
const QStringList ModernNames{
    u"amazon.mShop.shopping"_qs,
    u"deezer"_qs,
    u"duolingo"_qs,
    u"example"_qs,
    u"facebook.katana"_qs,
    u"facebook.orca"_qs,
    u"instagram"_qs,
    u"leboncoin"_qs,
    u"ligue1"_qs,
    u"linkedin"_qs,
    u"microsoft.teams"_qs,
    u"mozilla.firefox"_qs,
    u"music.player"_qs,
    u"netflix.mediaclient"_qs,
    u"Slack"_qs,
    u"snapchat"_qs,
    u"sncf.fusion"_qs,
    u"spotify.music"_qs,
    u"telegram.messenger"_qs,
    u"twitter"_qs,
    u"ubercab"_qs,
    u"videolan.vlc"_qs,
    u"waze"_qs,
    u"whatsapp"_qs,
    u"zhiliaoapp.musically"_qs,
    u"zoom.videomeetings"_qs,
};

QString readText(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QByteArray readBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The log from the apps list's start header on.
QStringList blockOf(const TextPane* log, const QString& header) {
    const QStringList lines = log->lines();
    const qsizetype start = lines.lastIndexOf(header);
    return start < 0 ? QStringList() : lines.mid(start);
}

// A simulated phone of our own whose only own answer is the third-party listing.
class ListingProfile {
public:
    explicit ListingProfile(const QByteArray& listing) {
        writeFile(u"_inherit"_qs, "modern\n");
        writeFile(u"shell-pm-list-packages-3-f.out"_qs, listing);
        testsupport::useProfile(dir_.path());
    }
    ~ListingProfile() { testsupport::useProfile(u"modern"_qs); }
    ListingProfile(const ListingProfile&) = delete;
    ListingProfile& operator=(const ListingProfile&) = delete;

private:
    void writeFile(const QString& name, const QByteArray& bytes) {
        QFile file(QDir(dir_.path()).filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QTemporaryDir dir_;
};

} // namespace

class TestAppsList : public QObject {
    Q_OBJECT

    testsupport::DialogRecorder dialogs;

private Q_SLOTS:
    void init() {
        testsupport::useProfile(u"modern"_qs);
        dialogs.clear();
    }

    void standardModeListsSortedNames() {
        testsupport::FreshHome home;
        const QString simLog = QDir(home.path()).filePath(u"sim.log"_qs);
        qputenv("TELVANE_SIM_LOG", simLog.toUtf8());
        TForm13 form(testsupport::quietUpdateServer());
        form.show();
        click(form.PanelGenerateAppsList);
        qunsetenv("TELVANE_SIM_LOG");

        const QString rawPath = QDir(home.outputFolder()).filePath(u"AppsList_ThirdParty.txt"_qs);
        QStringList expected{u"--- Generating Third-Party Apps List... ---"_qs,
                             QString(),
                             u"Standard Mode active: Using pm list packages -3 -f (Third-Party List)."_qs,
                             u"Raw list of third-party apps written to: "_qs + QDir::toNativeSeparators(rawPath),
                             QString(),
                             u"--- Cleaned and Sorted Package Names ---"_qs};
        expected += ModernNames;
        const QStringList block = blockOf(form.RichEdit1, expected.first());
        QCOMPARE(block, expected);
        QCOMPARE(readText(simLog), u"devices\n-s TLV0A1B2C3D4 shell pm list packages -3 -f\n"_qs);

        // Everything the phone printed is kept: BOM, CR LF after every line.
        const QStringList phone = strlist::fromText(
            QString::fromUtf8(testsupport::dataBytes(u"profiles/modern/shell-pm-list-packages-3-f.out"_qs)));
        QCOMPARE(readBytes(rawPath), strlist::fileBytes(phone));

        const int header = int(form.RichEdit1->lines().lastIndexOf(expected.first()));
        const struct {
            int offset;
            QRgb color;
            int size;
            bool bold;
        } looks[] = {
            {0, 0x800000, 10, true},  // start header
            {2, 0x0000FF, 10, false}, // mode notice
            {3, 0x000000, 10, false}, // file notice
            {5, 0x0000FF, 10, true},  // list header
            {6, 0x0000FF, 10, true},  // names take the list header's look
            {31, 0x0000FF, 10, true},
        };
        for (const auto& look : looks) {
            const auto seen = lineLook(form.RichEdit1, header + look.offset);
            QCOMPARE(seen.color, QColor(look.color));
            QCOMPARE(seen.size, look.size);
            QCOMPARE(seen.bold, look.bold);
        }
        QVERIFY(dialogs.shown().isEmpty());
    }

    void legacyModeSubtractsTheSystemListing() {
        testsupport::FreshHome home;
        testsupport::useProfile(u"oldos"_qs);
        const QString simLog = QDir(home.path()).filePath(u"sim.log"_qs);
        qputenv("TELVANE_SIM_LOG", simLog.toUtf8());
        TForm13 form(testsupport::quietUpdateServer());
        form.show();
        click(form.CheckBoxOldAndroid);
        QVERIFY(form.CheckBoxOldAndroid->isChecked());
        click(form.PanelGenerateAppsList);
        qunsetenv("TELVANE_SIM_LOG");

        QCOMPARE(
            readText(simLog),
            u"devices\n-s TLV20A7F3C91 shell pm list packages -f\n-s TLV20A7F3C91 shell pm list packages -f -s\n"_qs);
        const QStringList block = blockOf(form.RichEdit1, u"--- Generating Third-Party Apps List... ---"_qs);
        QVERIFY(block.size() > 6);
        QCOMPARE(block[2], u"Legacy OS Compatibility Mode active: Generating non-system apps by subtraction "
                           "(Total - System)."_qs);
        const auto notice = lineLook(form.RichEdit1, int(form.RichEdit1->lines().indexOf(block[2])));
        QCOMPARE(notice.color, QColor(0x0000FF));
        QCOMPARE(notice.size, 10);
        QVERIFY(!notice.bold);

        // 52 lines stay: the phone's own apps and the one entry it split over two lines; the system lines
        // that differ only in letter case are gone, and the CR of old adb is trimmed away.
        const QStringList raw =
            strlist::fromFileBytes(readBytes(QDir(home.outputFolder()).filePath(u"AppsList_ThirdParty.txt"_qs)));
        QCOMPARE(raw.size(), 52);
        QVERIFY(raw.contains(u"t"_qs));
        for (const QString& line : raw) {
            QVERIFY2(line == u"t"_qs || line.startsWith(u"package:/data/app/"_qs), qPrintable(line));
            QVERIFY(!line.endsWith(u'\r'));
        }

        const QStringList names = block.mid(6);
        for (const QString& name : {u"mint"_qs, u"example.apis"_qs, u"Mono.DebugRuntime"_qs, u"erni.itinerisapp"_qs,
                                    u"ban.card.payanywhere"_qs})
            QVERIFY2(names.contains(name), qPrintable(name));
        for (const QString& name : names) {
            QVERIFY2(!name.contains(u"vmconfig"_qs) && !name.contains(u"googlequicksearchbox"_qs), qPrintable(name));
            QVERIFY(!name.isEmpty());
        }
        QStringList sorted = names;
        strlist::sortNoCase(sorted);
        QCOMPARE(names, sorted);
    }

    void frenchMessages() {
        testsupport::FreshHome home;
        TForm13 form(testsupport::quietUpdateServer());
        form.show();
        click(form.RadioButtonFR);
        click(form.CheckBoxOldAndroid);
        click(form.PanelGenerateAppsList);
        const QStringList block =
            blockOf(form.RichEdit1, u"--- Génération de la liste des applications Tiers en cours... ---"_qs);
        QVERIFY(block.size() > 6);
        QCOMPARE(block[2], u"Mode Compatibilité Anciens OS activé : Génération des apps non-système par soustraction "
                           "(Total - Système)."_qs);
        QVERIFY(block[3].startsWith(u"Liste des applications tierces brute écrite dans : "_qs));
        QCOMPARE(block[5], u"--- Noms de packages Nettoyés et Triés ---"_qs);

        click(form.CheckBoxOldAndroid);
        click(form.PanelGenerateAppsList);
        QCOMPARE(blockOf(form.RichEdit1, u"--- Génération de la liste des applications Tiers en cours... ---"_qs)[2],
                 u"Mode Standard activé : Utilisation de pm list packages -3 -f (Liste Tiers)."_qs);
    }

    void runningTwiceAppendsASecondBlock() {
        testsupport::FreshHome home;
        TForm13 form(testsupport::quietUpdateServer());
        form.show();
        click(form.PanelGenerateAppsList);
        const int once = form.RichEdit1->lineCount();
        click(form.PanelGenerateAppsList);
        const QStringList lines = form.RichEdit1->lines();
        QCOMPARE(lines.count(u"--- Cleaned and Sorted Package Names ---"_qs), 2);
        QCOMPARE(lines.count(u"whatsapp"_qs), 2);
        QVERIFY(form.RichEdit1->lineCount() > once);
        QCOMPARE(QDir(home.outputFolder()).entryList(QDir::Files), QStringList{u"AppsList_ThirdParty.txt"_qs});
    }

    void noDeviceWritesNothing_data() {
        QTest::addColumn<QString>("profile");
        QTest::newRow("no phone") << u"nophone"_qs;
        QTest::newRow("unauthorized") << u"unauthorized"_qs;
    }
    void noDeviceWritesNothing() {
        QFETCH(QString, profile);
        testsupport::FreshHome home;
        testsupport::useProfile(profile);
        TForm13 form(testsupport::quietUpdateServer());
        form.show();
        click(form.PanelGenerateAppsList);
        const QStringList lines = form.RichEdit1->lines();
        QVERIFY(!lines.contains(u"--- Generating Third-Party Apps List... ---"_qs));
        QVERIFY(lines.last().startsWith(u"Connection failed"_qs));
        QVERIFY(!QFile::exists(home.outputFolder()));
    }

    void badListings_data() {
        QTest::addColumn<QByteArray>("listing");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<int>("rawSize");
        QTest::newRow("empty listing") << QByteArray() << QStringList() << 3;
        QTest::newRow("lines of = and dots")
            << QByteArray("=====\n.....\npackage:/x=....\npackage:/x=\n=\n\n") << QStringList() << 0;
        QTest::newRow("same name twice") << QByteArray(
                                                "package:/a=com.waze\npackage:/b=org.waze\npackage:/c=com.Apple\n")
                                         << QStringList{u"Apple"_qs, u"waze"_qs, u"waze"_qs} << 0;
        QTest::newRow("emoji and braces")
            << QByteArray("package:/a=com.{x}.\xF0\x9F\x98\x80\\\n") << QStringList{u"x}.😀\\"_qs.prepend(u'{')} << 0;
    }
    void badListings() {
        QFETCH(QByteArray, listing);
        QFETCH(QStringList, names);
        QFETCH(int, rawSize);
        testsupport::FreshHome home;
        ListingProfile profile(listing);
        TForm13 form(testsupport::quietUpdateServer());
        form.show();
        click(form.PanelGenerateAppsList);
        const QStringList block = blockOf(form.RichEdit1, u"--- Generating Third-Party Apps List... ---"_qs);
        QCOMPARE(block.mid(6), names);
        const QByteArray raw = readBytes(QDir(home.outputFolder()).filePath(u"AppsList_ThirdParty.txt"_qs));
        QVERIFY(raw.startsWith("\xEF\xBB\xBF"));
        if (rawSize > 0)
            QCOMPARE(raw.size(), rawSize);
        QVERIFY(dialogs.shown().isEmpty());
    }

    void thousandsOfPackages() {
        QByteArray listing;
        for (int i = 4999; i >= 0; --i)
            listing += "package:/data/app/~~q" + QByteArray::number(i) + "==/base.apk=com.maker.tool" +
                       QByteArray::number(i) + "\n";
        testsupport::FreshHome home;
        ListingProfile profile(listing);
        TForm13 form(testsupport::quietUpdateServer());
        form.show();
        click(form.PanelGenerateAppsList);
        const QStringList names = blockOf(form.RichEdit1, u"--- Generating Third-Party Apps List... ---"_qs).mid(6);
        QCOMPARE(names.size(), 5000);
        QCOMPARE(names.first(), u"maker.tool0"_qs);
        QCOMPARE(names.last(), u"maker.tool999"_qs);
    }

    void outputFolderThatCannotBeMadeGoesToTheErrorReport() {
        testsupport::FreshHome home;
        // A file where the desktop folder should be.
        QFile blocker(QDir(home.path()).filePath(u"Desktop"_qs));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        TForm13 form(testsupport::quietUpdateServer());
        form.show();
        click(form.PanelGenerateAppsList);
        QCOMPARE(dialogs.errors().size(), 1);
        QVERIFY(dialogs.errors().first().startsWith(u"Cannot create folder"_qs));
        QVERIFY(!form.RichEdit1->lines().contains(u"--- Cleaned and Sorted Package Names ---"_qs));
    }
};

QTEST_MAIN(TestAppsList)
#include "tst_appslist.moc"
