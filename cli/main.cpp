#include "cli/cli.h"

#include <QCoreApplication>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("telvane-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TELVANE_VERSION));
    return cli::run(QCoreApplication::arguments());
}
