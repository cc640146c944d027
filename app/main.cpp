#include "app/tform13.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Telvane"));
    TForm13 window;
    window.show();
    return QApplication::exec();
}
