// telvane-cli reading four phones at once against reading one of them, each phone command answered after
// half a second: with one thread per phone, the four take about the time of one.
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
#include <functional>

namespace {

// The four phones of the profile, each waiting before every answer (devices and devices -l answer at once).
const QString Profile = u"fourphones-slow"_qs;
const QStringList Serials{u"TLV4A0000001"_qs, u"TLV4A0000002"_qs, u"TLV4A0000003"_qs, u"TLV4A0000004"_qs};
// Several commands per phone, one after the other: the connection test, the dump's six reports, the apps list.
const QStringList Operations{u"connect"_qs, u"raw-dump"_qs, u"apps"_qs};
const QStringList Written{u"DeviceInfoHW_Complete_Raw.txt"_qs, u"AppsList_ThirdParty.txt"_qs};
constexpr double Target = 1.3;

// Runs telvane-cli to its end with these options, writing into out; anything but success ends the bench.
void runCli(const QStringList& options, const QString& out) {
    QProcess cli;
    cli.setStandardOutputFile(QProcess::nullDevice());
    cli.start(QStringLiteral(TELVANE_CLI), options + QStringList{u"--out"_qs, out} + Operations);
    if (!cli.waitForFinished(60000) || cli.exitStatus() != QProcess::NormalExit || cli.exitCode() != 0)
        qFatal("telvane-cli %s failed (exit %d): %s", qPrintable(options.join(u' ')), cli.exitCode(),
               cli.readAllStandardError().constData());
}

void expectFiles(const QString& folder) {
    for (const QString& name : Written)
        if (!QFileInfo(QDir(folder).filePath(name)).isFile())
            qFatal("telvane-cli wrote no %s into %s", qPrintable(name), qPrintable(folder));
}

// The median of three timed runs, each into an output folder of its own made untimed beforehand.
qint64 medianOfThreeMs(const std::function<void(const QString&)>& work) {
    std::array<qint64, 3> times{};
    for (qint64& ms : times) {
        const QTemporaryDir out;
        QElapsedTimer timer;
        timer.start();
        work(out.path());
        ms = timer.elapsed();
    }
    std::sort(times.begin(), times.end());
    return times[1];
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    // The simulated adb, found through the search path as an installed adb would be (none lies beside
    // telvane-cli in the build tree).
    qputenv("PATH", QByteArray(TELVANE_TEST_BIN_DIR) + QDir::listSeparator().toLatin1() + qgetenv("PATH"));
    testsupport::useProfile(Profile);
    const testsupport::FreshHome home;
    const long waitMs = testsupport::dataBytes(u"profiles/halfsecond/_default.wait"_qs).trimmed().toLong();

    // The phone commands sent (those naming their phone with -s) are counted: as many for each phone.
    const testsupport::SimLog log;
    const auto phoneCommandsSent = [&log] { return log.commands().filter(u"-s "_qs).size(); };

    // One phone, named as a script names it among several attached.
    const qint64 one = medianOfThreeMs([&](const QString& out) {
        runCli({u"--serial"_qs, Serials[0]}, out);
        expectFiles(out);
    });
    const qsizetype phoneCommands = phoneCommandsSent() / 3;
    const qint64 all = medianOfThreeMs([&](const QString& out) {
        runCli({u"--all-phones"_qs}, out);
        const QStringList folders = QDir(out).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        for (const QString& serial : Serials) {
            const auto folder = std::find_if(folders.begin(), folders.end(),
                                             [&](const QString& name) { return name.endsWith(u'_' + serial); });
            if (folder == folders.end())
                qFatal("telvane-cli --all-phones made no folder for %s", qPrintable(serial));
            expectFiles(QDir(out).filePath(*folder));
        }
    });
    if (phoneCommands == 0 || phoneCommandsSent() != 3 * phoneCommands * (1 + Serials.size()))
        qFatal("telvane-cli sent %lld phone commands, not %lld to each phone in each run",
               static_cast<long long>(phoneCommandsSent()), static_cast<long long>(phoneCommands));

    const double ratio = static_cast<double>(all) / static_cast<double>(std::max<qint64>(one, 1));
    std::printf("telvane-cli --all-phones, %lld phones, %.1f s a command (%s: %lld commands each), median of 3: "
                "%lld ms; one phone (--serial): %lld ms, its commands' own wait %lld ms; ratio %.2f (target %.1f)\n",
                static_cast<long long>(Serials.size()), static_cast<double>(waitMs) / 1000.0,
                qPrintable(Operations.join(u' ')), static_cast<long long>(phoneCommands), static_cast<long long>(all),
                static_cast<long long>(one), static_cast<long long>(phoneCommands * waitMs), ratio, Target);
    if (ratio > Target)
        qFatal("telvane-cli --all-phones took %.2f times one phone's time, more than %.1f", ratio, Target);
    return 0;
}
