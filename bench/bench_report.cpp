// The phone report of a phone whose report commands take 0.2 to 1.5 s each: they run at once, so the
// report takes about its slowest command after the connection test, not the sum of them all.
#include "testsupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <array>
#include <cstdio>

namespace {

const QString Profile = u"reportslow"_qs;
constexpr double Target = 1.3;

// The median of three runs of telvane-cli with this operation, each into a fresh folder; a failure ends the bench.
qint64 medianOfThreeMs(const QString& operation) {
    std::array<qint64, 3> times{};
    for (qint64& ms : times) {
        const QTemporaryDir out;
        QProcess cli;
        cli.setStandardOutputFile(QProcess::nullDevice());
        QElapsedTimer timer;
        timer.start();
        cli.start(QStringLiteral(TELVANE_CLI), {u"--out"_qs, out.path(), operation});
        if (!cli.waitForFinished(60000) || cli.exitStatus() != QProcess::NormalExit || cli.exitCode() != 0)
            qFatal("telvane-cli %s failed: %s", qPrintable(operation), cli.readAllStandardError().constData());
        ms = timer.elapsed();
        if (operation == u"report" && !QFileInfo(QDir(out.path()).filePath(u"DeviceReport.json"_qs)).isFile())
            qFatal("telvane-cli report wrote no DeviceReport.json");
    }
    std::sort(times.begin(), times.end());
    return times[1];
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    qputenv("PATH", QByteArray(TELVANE_TEST_BIN_DIR) + QDir::listSeparator().toLatin1() + qgetenv("PATH"));
    testsupport::useProfile(Profile);
    const testsupport::FreshHome home;
    qint64 slowest = 0;
    qint64 sum = 0;
    const QDir waits(testsupport::dataPath(u"profiles/"_qs + Profile));
    for (const QString& name : waits.entryList({u"*.wait"_qs})) {
        const qint64 ms = testsupport::dataBytes(u"profiles/"_qs + Profile + u'/' + name).trimmed().toLongLong();
        slowest = std::max(slowest, ms);
        sum += ms;
    }
    const qint64 connect = medianOfThreeMs(u"connect"_qs);
    const qint64 report = medianOfThreeMs(u"report"_qs);
    const double ratio = double(report - connect) / double(slowest);
    std::printf("telvane-cli report, its commands waiting %lld ms in all, the slowest %lld ms, median of 3: %lld ms; "
                "the connection test alone: %lld ms; report less connection test %.2f times the slowest command "
                "(target %.1f)\n",
                static_cast<long long>(sum), static_cast<long long>(slowest), static_cast<long long>(report),
                static_cast<long long>(connect), ratio, Target);
    if (ratio > Target)
        qFatal("the phone report took %.2f times its slowest command, more than %.1f", ratio, Target);
    return 0;
}
