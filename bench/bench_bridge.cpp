// The command runner against the same command read into memory undecoded, and the RAW dump of a phone
// printing 14 MB against the same six adb commands run through the shell.
#include "bridge/catalogue.h"
#include "bridge/runner.h"
#include "reports/rawdump.h"
#include "testsupport.h"
#include "ui/panel.h"
#include "ui/textpane.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <array>
#include <cstdio>
#include <functional>

namespace {

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

QString makeOutput(const QTemporaryDir& dir, int lines) {
    QByteArray text;
    const QByteArray line("[persist.vendor.radio.prop_%1]: [value 0123456]\n");
    for (int i = 0; i < lines; ++i)
        text += QByteArray(line).replace("%1", QByteArray::number(i % 1000).rightJustified(3, '0'));
    const QString path = dir.filePath(QStringLiteral("out%1.txt").arg(lines));
    writeFile(path, text);
    return path;
}

// What the runner does, without decoding or cutting lines: the output read into memory.
qsizetype readUndecoded(const QString& cmd) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), cmd});
    QByteArray all;
    while (process.waitForReadyRead(-1))
        all += process.readAll();
    process.waitForFinished(-1);
    return all.size() + process.readAll().size();
}

// The median of five timed runs, events included: the disk's share of the work varies from run to run.
qint64 medianOfFiveMs(const std::function<void()>& work) {
    std::array<qint64, 5> times{};
    for (qint64& ms : times) {
        QElapsedTimer timer;
        timer.start();
        work();
        QCoreApplication::processEvents();
        ms = timer.elapsed();
    }
    std::sort(times.begin(), times.end());
    return times[2];
}

void ratio(const char* what, qint64 ms, const char* against, qint64 baseMs) {
    std::printf("%s: %lld ms; %s: %lld ms; ratio %.1f\n", what, static_cast<long long>(ms), against,
                static_cast<long long>(baseMs),
                static_cast<double>(ms) / static_cast<double>(std::max<qint64>(baseMs, 1)));
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QTemporaryDir dir;
    for (const int count : {200000, 400000}) {
        const QString cmd = u"cat '"_qs + makeOutput(dir, count) + u'\'';
        // The lines are freed outside the timing, as the runner hands them on to the operation.
        QStringList lines;
        const qint64 runner =
            testsupport::bestOfThreeMs([&] { lines = bridge::runCommandLine(cmd); }, [&] { lines.clear(); });
        const qsizetype got = lines.size();
        qsizetype bytes = 0;
        const qint64 undecoded = testsupport::bestOfThreeMs([&] { bytes = readUndecoded(cmd); });
        if (got != count)
            qFatal("runner returned %lld lines, expected %d", static_cast<long long>(got), count);
        const QByteArray what = "runner reading " + QByteArray::number(bytes / 1e6, 'f', 1) + " MB, " +
                                QByteArray::number(count) + " lines";
        ratio(what.constData(), runner, "read into memory undecoded", undecoded);
    }

    // A phone whose six reports print 14 MB: each recorded report repeated to about 2.3 MB.
    const QString phone = dir.filePath(u"bigphone"_qs);
    QDir().mkpath(phone);
    writeFile(phone + u"/_inherit"_qs, "modern\n");
    for (const char* slug : testsupport::ReportSlugs) {
        const QByteArray once = testsupport::dataBytes(u"profiles/modern/"_qs + QString::fromLatin1(slug) + u".out"_qs);
        QByteArray text;
        while (text.size() < 14 * 1024 * 1024 / 6)
            text += once;
        writeFile(phone + u'/' + QString::fromLatin1(slug) + u".out"_qs, text);
    }
    testsupport::useProfile(phone);
    // The simulated adb, found through the search path as an installed adb would be.
    qputenv("PATH", QByteArray(TELVANE_TEST_BIN_DIR) + ':' + qgetenv("PATH"));
    testsupport::FreshHome home;
    testsupport::DialogRecorder dialogs;
    TForm13 form(testsupport::quietUpdateServer());
    form.show();
    const qint64 dump = medianOfFiveMs([&] { testsupport::click(form.PanelRawDump); });
    if (!form.RichEdit1->lines().last().startsWith(u"Complete RAW dump written"_qs))
        qFatal("the RAW dump did not complete");
    // The dump's own six command lines, each through /bin/sh as the runner starts it, the output thrown away.
    const std::array<QString, 6> lines = reports::RawDumpCommands({u"adb"_qs, {}});
    const qint64 shell = medianOfFiveMs([&] {
        for (const QString& line : lines)
            QProcess::execute(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), line + u" >/dev/null"_qs});
    });
    const qint64 size = QFile(home.outputFolder() + u"/DeviceInfoHW_Complete_Raw.txt"_qs).size();
    const QByteArray what = "RAW dump of a phone printing " + QByteArray::number(size / 1e6, 'f', 1) +
                            " MB, click to file written, median of 5";
    ratio(what.constData(), dump, "its six command lines one after the other through the shell, output thrown away",
          shell);

    // A phone whose six reports take 0.2 to 1.5 s each: asked at once, the dump takes about its slowest.
    const QString slow = dir.filePath(u"slowreports"_qs);
    QDir().mkpath(slow);
    writeFile(slow + u"/_inherit"_qs, "modern\n");
    const int waits[] = {200, 1500, 700, 400, 1000, 300};
    for (std::size_t i = 0; i < std::size(waits); ++i)
        writeFile(slow + u'/' + QString::fromLatin1(testsupport::ReportSlugs[i]) + u".wait"_qs,
                  QByteArray::number(waits[i]));
    testsupport::useProfile(slow);
    const qint64 connect = medianOfFiveMs([&] { testsupport::click(form.PanelConnect); });
    const qint64 slowDump = medianOfFiveMs([&] { testsupport::click(form.PanelRawDump); });
    const double target = 1.3 * double(*std::max_element(std::begin(waits), std::end(waits)) + connect);
    std::printf("RAW dump of reports taking 0.2-1.5 s each, median of 5: %lld ms; slowest report 1500 ms, connection "
                "test %lld ms; %.2fx the two (target 1.3x)\n",
                static_cast<long long>(slowDump), static_cast<long long>(connect),
                double(slowDump) / (1500.0 + double(connect)));
    return double(slowDump) <= target ? 0 : 1;
}
