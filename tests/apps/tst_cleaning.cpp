#include "apps/cleaning.h"
#include "apps/groups.h"

#include <QTest>

class TestCleaning : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void readableName_data() {
        QTest::addColumn<QString>("rawLine");
        QTest::addColumn<QString>("expected");
        const QString prefix = u"package:/data/app/~~Ab3==/x-Qz==/base.apk="_qs;
        const struct {
            const char* what;
            const char* package;
            const char* name;
        } examples[] = {
            {"domain token com", "com.whatsapp", "whatsapp"},
            {"long segment stops the domain loop", "com.facebook.katana", "facebook.katana"},
            {"domain token org", "org.videolan.vlc", "videolan.vlc"},
            {"2 characters, then 4 beginning with fr", "fr.free.ligue1", "ligue1"},
            {"code begins with co", "com.code.editor", "editor"},
            {"two short segments", "co.uk.bbc.news", "bbc.news"},
            {".app removed", "com.example.app", "example"},
            {".app removed inside a segment", "com.foo.application", "foolication"},
            {".android then .app removed", "com.samsung.android.app.notes", "samsung.notes"},
            {"android. removed", "com.mi.android.globalFileexplorer", "globalFileexplorer"},
            {"repeated leading segment", "com.waze.waze", "waze"},
            {"filler coocent", "com.coocent.music.player", "music.player"},
            {".app then filler games", "com.games.puzzle.app", "puzzle"},
            {"filler air, no second domain loop", "air.com.foo.game", "com.foo.game"},
            {"two domain segments, no dot left", "net.fr.app", "app"},
            {"letter case kept", "com.Netflix.mediaclient", "Netflix.mediaclient"},
            {"leading slash dropped", "/com.foo.bar", "foo.bar"},
            {"excluded prefix com.android", "com.android.chrome", ""},
            {"excluded prefix android", "androidx.test.services", ""},
            {"excluded prefix com.sec", "com.sec.android.app.camera", ""},
            {"excluded fragment", "com.mediatek.packageinstaller", ""},
            {"excluded prefix in capitals", "Android.foo", ""},
            {"excluded prefix androidx", "androidx.core", ""},
            {"excluded fragment in capitals", "org.X.ProxyHandler", ""},
            {"corp is a domain segment", "corp.acme.mail", "acme.mail"},
            {"demo is a domain segment", "demo.widget.clock", "widget.clock"},
            {"nets is a domain segment", "nets.bank.pay", "bank.pay"},
            {"games has 5 characters", "games.chess.master", "chess.master"},
            {"only dots", "....", ""},
            {"reduced to dots", "com.app..", ""},
            {"repeated segment ignores case", "com.Waze.WAZE.beta", "Waze"},
            {"several slashes", "///com.foo.bar", "foo.bar"},
            {"several fillers", "com.tools.premium.scanner", "scanner"},
            {"removed fragment ignores case", "com.Foo.Android.Bar", "Foo.Bar"},
            {"no dot at all", "whatsapp", "whatsapp"},
            {"emoji kept", "com.fun.😀app", "fun.😀app"},
        };
        for (const auto& e : examples)
            QTest::newRow(e.what) << prefix + QString::fromUtf8(e.package) << QString::fromUtf8(e.name);
        QTest::newRow("an = inside the path") << u"package:/data/app/a=b/base.apk=com.whatsapp"_qs << u"whatsapp"_qs;
        QTest::newRow("no =") << u"package:/data/app/base.apk"_qs << QString();
        QTest::newRow("= last") << u"package:/data/app/base.apk="_qs << QString();
        QTest::newRow("only =") << u"========"_qs << QString();
        QTest::newRow("empty line") << QString() << QString();
        QTest::newRow("runner error line")
            << u"ERROR: CreateProcess failed for: \"adb\" shell pm list packages"_qs << QString();
        QTest::newRow("old pm usage text") << u"Error: Unknown option: -3"_qs << QString();
    }
    void readableName() {
        QFETCH(QString, rawLine);
        QFETCH(QString, expected);
        QCOMPARE(apps::readableName(rawLine), expected);
    }

    void subtractListing_data() {
        QTest::addColumn<QStringList>("total");
        QTest::addColumn<QStringList>("system");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("same lines go") << QStringList{u"p:/a=x"_qs, u"p:/b=y"_qs} << QStringList{u"p:/a=x"_qs}
                                       << QStringList{u"p:/b=y"_qs};
        QTest::newRow("letter case ignored") << QStringList{u"p:/S/SystemUI.apk=com.X"_qs, u"p:/d=z"_qs}
                                             << QStringList{u"p:/s/SYSTEMUI.APK=com.x"_qs} << QStringList{u"p:/d=z"_qs};
        QTest::newRow("accents fold too") << QStringList{u"p:/é=é"_qs} << QStringList{u"P:/É=É"_qs} << QStringList{};
        QTest::newRow("blanks around a full-listing line") << QStringList{u"  p:/a=x\t\r"_qs, u" p:/b=y "_qs}
                                                           << QStringList{u"p:/a=x"_qs} << QStringList{u"p:/b=y"_qs};
        QTest::newRow("blanks around a system line match nothing")
            << QStringList{u"p:/a=x"_qs} << QStringList{u" p:/a=x"_qs} << QStringList{u"p:/a=x"_qs};
        QTest::newRow("whole line, not the name")
            << QStringList{u"p:/data/app/x=com.x"_qs} << QStringList{u"p:/system/app/x=com.x"_qs}
            << QStringList{u"p:/data/app/x=com.x"_qs};
        QTest::newRow("order and duplicates kept")
            << QStringList{u"c=3"_qs, u"a=1"_qs, u"c=3"_qs, u""_qs} << QStringList{}
            << QStringList{u"c=3"_qs, u"a=1"_qs, u"c=3"_qs, u""_qs};
        QTest::newRow("empty system line removes blank lines")
            << QStringList{u"  "_qs, u"a=1"_qs} << QStringList{u""_qs} << QStringList{u"a=1"_qs};
    }
    void subtractListing() {
        QFETCH(QStringList, total);
        QFETCH(QStringList, system);
        QFETCH(QStringList, expected);
        QCOMPARE(apps::subtractListing(total, system), expected);
    }

    void subtractionOfThousandsOfLines() {
        QStringList total;
        QStringList system;
        for (int i = 0; i < 20000; ++i) {
            total.append(u"package:/data/app/p%1/base.apk=com.maker.app%1"_qs.arg(i));
            if (i % 2 == 0)
                system.append(u"PACKAGE:/DATA/APP/P%1/BASE.APK=COM.MAKER.APP%1"_qs.arg(i));
        }
        const QStringList rest = apps::subtractListing(total, system);
        QCOMPARE(rest.size(), 10000);
        QCOMPARE(rest.first(), total[1]);
        QCOMPARE(rest.last(), total.last());
    }

    void nameOfTickedLine_data() {
        QTest::addColumn<QString>("lineText");
        QTest::addColumn<QString>("name");
        QTest::newRow("dotted name") << u"facebook.katana"_qs << u"facebook.katana"_qs;
        QTest::newRow("name without a dot") << u"whatsapp"_qs << u"whatsapp"_qs;
        QTest::newRow("bracket and parenthesis") << u"[3] com.foo.bar (12 MB)"_qs << u"com.foo.bar"_qs;
        QTest::newRow("a log message") << u"Raw list written to: /home/x/list.txt"_qs
                                       << u"Raw list written to: /home/x/list.txt"_qs;
        QTest::newRow("empty line") << QString() << QString();
        QTest::newRow("blanks only") << u"   \t"_qs << QString();
        QTest::newRow("parenthesis before the bracket") << u"a (b] c"_qs << QString();
        QTest::newRow("only a bracket") << u"[x]"_qs << QString();
        QTest::newRow("parenthesis without a blank") << u"app(1)"_qs << u"app(1)"_qs;
        QTest::newRow("blanks trimmed") << u"  ] waze  (x"_qs << u"waze"_qs;
    }
    void nameOfTickedLine() {
        QFETCH(QString, lineText);
        QFETCH(QString, name);
        QCOMPARE(apps::nameOfTickedLine(lineText), name);
    }

    void groupHeaders_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("isHeader");
        QTest::newRow("written header") << u"--- GAMES ---"_qs << true;
        QTest::newRow("typed with leading blanks") << u"  \t--- games"_qs << true;
        QTest::newRow("three hyphens alone") << u"---"_qs << false;
        QTest::newRow("three hyphens and a blank") << u"--- "_qs << false;
        QTest::newRow("two hyphens") << u"-- GAMES --"_qs << false;
        QTest::newRow("name") << u"waze"_qs << false;
    }
    void groupHeaders() {
        QFETCH(QString, line);
        QFETCH(bool, isHeader);
        QCOMPARE(apps::isGroupHeader(line), isHeader);
    }

    void headerUpperCasesOnlyAsciiLetters() {
        QCOMPARE(apps::groupHeader(u"jeux vidéo"_qs), u"--- JEUX VIDéO ---"_qs);
        QCOMPARE(apps::groupHeader(u"ßtraße 2 😀"_qs), u"--- ßTRAßE 2 😀 ---"_qs);
    }
};

QTEST_GUILESS_MAIN(TestCleaning)
#include "tst_cleaning.moc"
