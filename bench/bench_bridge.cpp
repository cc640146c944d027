// The command runner reading a large output, against cat writing the same file to /dev/null.
#include "bridge/runner.h"

#include "testsupport.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

QString makeOutput(const QTemporaryDir& dir, int lines) {
    const QString path = dir.filePath(QStringLiteral("out%1.txt").arg(lines));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    const QByteArray line("[persist.vendor.radio.prop_%1]: [value 0123456]\n");
    for (int i = 0; i < lines; ++i)
        file.write(QByteArray(line).replace("%1", QByteArray::number(i % 1000).rightJustified(3, '0')));
    return path;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    for (const int lines : {200000, 400000}) {
        const QString path = makeOutput(dir, lines);
        const qint64 size = QFile(path).size();
        qsizetype got = 0;
        const qint64 runner =
            testsupport::bestOfThreeMs([&] { got = bridge::runCommandLine(u"cat '"_qs + path + u'\'').size(); });
        const qint64 cat = testsupport::bestOfThreeMs([&] {
            QProcess::execute(QStringLiteral("/bin/sh"),
                              {QStringLiteral("-c"), u"cat '"_qs + path + u"' >/dev/null"_qs});
        });
        if (got != lines)
            qFatal("runner returned %lld lines, expected %d", static_cast<long long>(got), lines);
        std::printf("runner reading %.1f MB, %d lines: %lld ms; cat to /dev/null: %lld ms; ratio %.1f\n",
                    static_cast<double>(size) / 1e6, lines, static_cast<long long>(runner), static_cast<long long>(cat),
                    static_cast<double>(runner) / static_cast<double>(std::max<qint64>(cat, 1)));
    }
    return 0;
}
