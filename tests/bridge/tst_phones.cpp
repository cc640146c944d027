#include "testsupport.h"
#include "ui/panel.h"
#include "ui/textpane.h"

#include <QApplication>
#include <QDirIterator>
#include <QInputDialog>
#include <QLabel>
#include <QListView>
#include <QRadioButton>
#include <QTest>

using testsupport::click;

namespace {

const QString Pixel = u"Pixel 8 Pro (TLV0A1B2C3D4)"_qs;
const QString Huawei = u"G700-U20 (TLV20A7F3C91)"_qs;
const QString Success = u"ADB CONNECTION: Success! Device found and authorized. ✔"_qs;

// Every panel that reads the phone, one after the other.
void readEverything(TForm13& form) {
    for (Panel* panel : {form.PanelRawDump, form.PanelCSVExcel, form.PanelDiskSpaceGlobal, form.PanelDiskSpaceAppsMedia,
                         form.PanelPhotoVideoNumber, form.PanelGenerateAppsList})
        click(panel);
}

// Everything the phone was asked, apart from the device lists, went to that phone, and nothing the app
// wrote holds adb's complaint about several phones.
void verifyAllWentTo(const QStringList& commands, const QString& serial, const QString& home, TForm13& form) {
    QVERIFY(commands.size() > 15);
    for (const QString& command : commands)
        if (!command.startsWith(u"devices"_qs))
            QVERIFY2(command.startsWith((serial.startsWith(u"-t "_qs) ? serial : u"-s "_qs + serial) + u" shell "_qs),
                     qPrintable(command));
    QDirIterator files(home, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        QFile file(files.next());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY2(!file.readAll().contains("more than one device"), qPrintable(file.fileName()));
    }
    QVERIFY(!form.RichEdit1->toPlainText().contains(u"more than one device"_qs));
}

} // namespace

class TestPhones : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void chosenOnceThenEveryCommandGoesToIt_data() {
        QTest::addColumn<QString>("profile");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("serial");
        QTest::addColumn<QString>("inUse");
        QTest::newRow("two phones") << u"twophones"_qs << Huawei << u"TLV20A7F3C91"_qs << Huawei;
        QTest::newRow("a Wi-Fi phone") << u"phonewifi"_qs << u"G700-U20 (192.168.1.20:5555)"_qs
                                       << u"192.168.1.20:5555"_qs << u"G700-U20 (192.168.1.20:5555)"_qs;
        QTest::newRow("a serial with blanks and shell characters")
            << u"blankserial"_qs << u"RZ8 $HOME `x` 01"_qs << u"RZ8 $HOME `x` 01"_qs << u"RZ8 $HOME `x` 01"_qs;
        QTest::newRow("one usable beside an unauthorised one: no question")
            << u"phoneunauth"_qs << QString() << u"TLV0A1B2C3D4"_qs << Pixel;
        QTest::newRow("a stale offline entry of the same serial: by transport id")
            << u"sameserial"_qs << QString() << u"-t 2"_qs << u"Pixel 8 Pro (0123456789ABCDEF)"_qs;
    }
    void chosenOnceThenEveryCommandGoesToIt() {
        QFETCH(QString, profile);
        QFETCH(QString, answer);
        QFETCH(QString, serial);
        QFETCH(QString, inUse);
        testsupport::FreshHome home;
        testsupport::DialogRecorder dialogs;
        dialogs.queueAnswer(answer);
        testsupport::useProfile(profile);
        testsupport::SimLog sim;
        TForm13 form(testsupport::quietUpdateServer());
        form.RichEdit1->clearPane();
        click(form.PanelConnect);
        const auto looks = testsupport::lineLooks(form.RichEdit1);
        QCOMPARE(looks.size(), 5);
        QCOMPARE(looks[3].text, u"Phone in use: "_qs + inUse);
        QCOMPARE(looks[3].color, QColor(0x808080));
        QCOMPARE(looks[3].size, 9);
        QVERIFY(!looks[3].bold);
        QCOMPARE(looks[4].text, Success);
        QCOMPARE(dialogs.shown().size(), answer.isNull() ? 0 : 1);
        if (!answer.isNull()) {
            QCOMPARE(dialogs.shown()[0].kind, dialogs::Kind::Choice);
            QCOMPARE(dialogs.shown()[0].text, u"Several phones are connected. Which one should be read?"_qs);
            QCOMPARE(dialogs.shown()[0].items.first(), Pixel);
            QCOMPARE(dialogs.shown()[0].items.size(), 2);
        }

        readEverything(form);
        QCOMPARE(dialogs.shown().size(), answer.isNull() ? 0 : 1);
        const QStringList commands = sim.commands();
        QCOMPARE(commands.mid(0, 2), (QStringList{u"devices"_qs, u"devices -l"_qs}));
        QCOMPARE(commands.count(u"devices -l"_qs), 1);
        verifyAllWentTo(commands, serial, home.path(), form);
        QVERIFY(form.RichEdit1->lines().contains(u"Phone in use: "_qs + inUse));
        QVERIFY(QFile::exists(home.outputFolder() + u"/DeviceInfoHW_BATTERY_Excel.csv"_qs));
    }

    void cancelledChoiceFailsTheTest() {
        testsupport::FreshHome home;
        testsupport::DialogRecorder dialogs;
        testsupport::useProfile(u"twophones"_qs);
        testsupport::SimLog sim;
        TForm13 form(testsupport::quietUpdateServer());
        click(form.RadioButtonFR);
        click(form.PanelRawDump);
        QCOMPARE(dialogs.shown().last().text, u"Plusieurs téléphones sont connectés. Lequel faut-il lire ?"_qs);
        const auto looks = testsupport::lineLooks(form.RichEdit1);
        QCOMPARE(looks.last().text, u"Échec de connexion : aucun téléphone choisi."_qs);
        QCOMPARE(looks.last().color, QColor(0xFF0000));
        QCOMPARE(looks.last().size, 10);
        QVERIFY(looks.last().bold);
        QCOMPARE(sim.commands(), (QStringList{u"devices"_qs, u"devices -l"_qs}));
        QVERIFY(!QDir(home.outputFolder()).exists());

        dialogs.queueAnswer(Pixel);
        click(form.PanelConnect);
        QCOMPARE(form.RichEdit1->lines().mid(form.RichEdit1->lineCount() - 2),
                 (QStringList{u"Téléphone utilisé : "_qs + Pixel,
                              u"CONNEXION ADB : Succès ! Appareil trouvé et autorisé. ✔"_qs}));
    }

    void unpluggingTheChosenPhone() {
        testsupport::FreshHome home;
        testsupport::DialogRecorder dialogs;
        testsupport::useProfile(u"twophones"_qs);
        TForm13 form(testsupport::quietUpdateServer());
        dialogs.queueAnswer(Huawei);
        click(form.PanelConnect);
        QCOMPARE(dialogs.shown().size(), 1);

        // One phone left: it is used without a question, named on every command, and Connect says which.
        testsupport::useProfile(u"modern"_qs);
        {
            testsupport::SimLog sim;
            click(form.PanelConnect);
            QCOMPARE(form.RichEdit1->lines().last(2).first(), u"Phone in use: TLV0A1B2C3D4"_qs);
            click(form.PanelPhotoVideoNumber);
            QCOMPARE(dialogs.shown().size(), 1);
            QCOMPARE(sim.commands().value(3).left(26), u"-s TLV0A1B2C3D4 shell su -"_qs);
        }

        // Back to two phones without the chosen one: the question comes again.
        testsupport::useProfile(u"phonewifi"_qs);
        dialogs.queueAnswer(u"G700-U20 (192.168.1.20:5555)"_qs);
        testsupport::SimLog sim;
        click(form.PanelPhotoVideoNumber);
        QCOMPARE(dialogs.shown().size(), 2);
        QCOMPARE(sim.commands().last().left(25), u"-s 192.168.1.20:5555 shel"_qs);
        QVERIFY(form.RichEdit1->lines().contains(u"Total Photos: 1234"_qs));

        // The chosen phone leaves and comes back beside another: the choice went with it.
        testsupport::useProfile(u"modern"_qs);
        click(form.PanelConnect);
        testsupport::useProfile(u"phonewifi"_qs);
        click(form.PanelConnect);
        QCOMPARE(dialogs.shown().size(), 3);

        // Unplugged while still listed: adb's complaint stops the dump, and the choice goes with the phone.
        testsupport::useProfile(u"gonephone"_qs);
        dialogs.queueAnswer(Huawei);
        click(form.PanelRawDump);
        const auto lost = testsupport::lineLooks(form.RichEdit1).last();
        QCOMPARE(lost.text, u"Phone lost: adb: device 'TLV20A7F3C91' not found"_qs);
        QVERIFY(lost.color == QColor(0xFF0000) && lost.size == 10 && lost.bold);
        QCOMPARE(testsupport::filesBelow(home.outputFolder()), QStringList());
        click(form.PanelConnect);
        QCOMPARE(dialogs.shown().size(), 5);
        // Gone during the du runs: the first one stops them.
        testsupport::useProfile(testsupport::dataPath(u"storage/profiles/dudropped"_qs));
        click(form.PanelDiskSpaceAppsMedia);
        QCOMPARE(form.RichEdit1->lines().last(), u"Phone lost: adb: device 'TLV0A1B2C3D4' not found"_qs);
    }

    void theRealChooser() {
        testsupport::FreshHome home;
        testsupport::DialogRecorder dialogs;
        testsupport::useProfile(u"twophones"_qs);
        TForm13 form(testsupport::quietUpdateServer());
        Qt::TextFormat format = Qt::RichText;
        QString preselected;
        testsupport::onNextModal([&](QWidget* modal) {
            auto* chooser = qobject_cast<QInputDialog*>(modal);
            QVERIFY(chooser);
            QCOMPARE(chooser->windowTitle(), u"Telvane"_qs);
            QVERIFY(chooser->findChild<QListView*>());
            format = chooser->findChild<QLabel*>()->textFormat();
            preselected = chooser->textValue();
            chooser->accept();
        });
        dialogs.setEnabled(false);
        click(form.PanelConnect);
        dialogs.setEnabled(true);
        QCOMPARE(format, Qt::PlainText);
        QCOMPARE(preselected, Pixel);
        QCOMPARE(form.RichEdit1->lines().last(), Success);
    }
};

QTEST_MAIN(TestPhones)
#include "tst_phones.moc"
