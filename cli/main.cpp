#include "cli/cli.h"

#include <QCoreApplication>

namespace {

// MinGW's runtime frees a thread's thread_local storage before Qt's regular expressions free the JIT
// stack they keep there, so each phone's thread crashed as it ended and the program never returned.
// The interpreter keeps nothing per thread; our patterns are short, so it costs nothing we can measure.
void keepRegularExpressionsOffThreadStorage() {
#ifdef Q_OS_WIN
    qputenv("QT_ENABLE_REGEXP_JIT", "0");
#endif
}

} // namespace

int main(int argc, char* argv[]) {
    keepRegularExpressionsOffThreadStorage();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("telvane-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TELVANE_VERSION));
    return cli::run(QCoreApplication::arguments());
}
