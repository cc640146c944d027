#include "app/tform13.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Telvane"));
    // Docks and task bars group the window with the menu entry of this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("net.telvane.Telvane"));
    TForm13 window;
    window.show();
    return QApplication::exec();
}
