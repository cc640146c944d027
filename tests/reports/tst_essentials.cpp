#include "base/strlist.h"
#include "reports/essentials.h"
#include "reports/keywords.h"

#include <QLocale>
#include <QTest>

namespace {

// Restores the locale a test changed, also when it fails.
struct LocaleGuard {
    QLocale saved;
    explicit LocaleGuard(const QLocale& locale) { QLocale::setDefault(locale); }
    ~LocaleGuard() { QLocale::setDefault(saved); }
};

} // namespace

class TestEssentials : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void keepsReadingsDropsBookkeeping_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("kept");
        const struct {
            const char* what;
            const char16_t* line;
            bool kept;
        } table[] = {
            {"empty", u"", false},
            {"blanks and tabs only", u"  \t \t", false},
            {"control characters only", u"\r\x01\x1f", false},
            {"callback after blanks", u"  callback: foo", false},
            {"callback not at the beginning", u"Registered callbacks", true},
            {"killed in capitals", u"Killed process 123", false},
            {"killed later in the line", u"process was killed", true},
            {"callbacks: with a tab first", u"\tcallbacks: 2", false},
            {"a battery level", u"  level: 100", true},
            {"a battery temperature", u"  temperature: 300", true},
            {"mLast", u"mLastUpdateTime=5", false},
            {"mWake in capitals", u"MWAKELOCKSUMMARY", false},
            {"mUser", u"  mUserId 0", false},
            {"broadcasts", u"Active broadcasts:", false},
            {"ThermalEventListeners", u"ThermalEventListeners:", false},
            {"StatusListeners in another case", u"thermalstatuslisteners:", false},
            {"uid= inside a word", u"fluid=1", false},
            {"pid= inside ppid=", u"ppid=77", false},
            {"flags=", u"Sensor flags=0x3", false},
            {"a property", u"[wifi.interface]: [wlan0]", true},
            {"wake_lock", u"wake_lock held", false},
            {"Parcel", u"mDhcpResultsParcelable baseConfiguration", false},
            {"parcel in capitals", u"PARCEL SIZE 4", false},
            {"Binder", u"Binder transactions: 12", false},
            {"ANR in in capitals", u"ANR IN com.example", false},
            {"anr in in small letters", u"anr in com.example", false},
            {"traces:", u"see traces: /data/anr", false},
            {"heap:", u"heap: 512", false},
            {"Heap without colon", u"Heap size", true},
            {"uid without =", u"uid 1000", true},
            {"accented reading", u"Température: 30", true},
            {"a thermal reading", u"\tTemperature{mValue=44.3, mType=0, mName=CPU0, mStatus=0}", true},
        };
        for (const auto& row : table)
            QTest::newRow(row.what) << QString::fromUtf16(row.line) << row.kept;
    }
    void keepsReadingsDropsBookkeeping() {
        QFETCH(QString, line);
        QFETCH(bool, kept);
        QCOMPARE(reports::IsEssential(line), kept);
    }

    // The keywords fold with the locale in force, also after the locale changed between two calls.
    void foldsWithTheUsersLocale() {
        const LocaleGuard guard(QLocale(QLocale::French, QLocale::France));
        QVERIFY(!reports::IsEssential(u"KILLED: true"));
        QVERIFY(!reports::IsEssential(u"Binder stats"));
        QVERIFY(reports::IsEssential(u"niveau: 100"));
        QLocale::setDefault(QLocale(QLocale::Turkish, QLocale::Turkey));
        // Turkish folds "i" to a dotted capital I: "uid=" matches lines written with a small i only.
        QVERIFY(!reports::IsEssential(u"fluid=1"));
        QVERIFY(reports::IsEssential(u"FLUID=1"));
        QLocale::setDefault(guard.saved);
        QVERIFY(!reports::IsEssential(u"FLUID=1"));
    }

    // The quick fold gives the locale's own fold, also where ASCII letters do not fold plainly.
    void quickFoldIsTheLocaleFold_data() {
        QTest::addColumn<QLocale>("locale");
        QTest::newRow("C") << QLocale(QLocale::C);
        QTest::newRow("English") << QLocale(QLocale::English, QLocale::UnitedStates);
        QTest::newRow("French") << QLocale(QLocale::French, QLocale::France);
        QTest::newRow("German") << QLocale(QLocale::German, QLocale::Germany);
        QTest::newRow("Lithuanian") << QLocale(QLocale::Lithuanian, QLocale::Lithuania);
        QTest::newRow("Turkish") << QLocale(QLocale::Turkish, QLocale::Turkey);
        QTest::newRow("Azerbaijani") << QLocale(QLocale::Azerbaijani, QLocale::Azerbaijan);
    }
    void quickFoldIsTheLocaleFold() {
        QFETCH(QLocale, locale);
        const LocaleGuard guard(locale);
        for (const char16_t* text : {u"", u"mLastUpdateTime=5 uid=1000 ij IJ", u"[ro.serialno]: [abc_XYZ-09]",
                                     u"\t~!@#$%^&*()_+{}|:<>?`", u"straße Zoé ǆ ﬁ", u"i\u0307 İ ı"}) {
            const QStringView view(text);
            QCOMPARE(reports::foldForSearch(view), strlist::folded(view));
        }
    }
};

QTEST_GUILESS_MAIN(TestEssentials)
#include "tst_essentials.moc"
