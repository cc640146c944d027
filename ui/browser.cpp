#include "ui/browser.h"

#include <QDesktopServices>

namespace browser {

namespace {

Opener& opener() {
    static Opener o;
    return o;
}

} // namespace

void setOpener(Opener o) {
    opener() = std::move(o);
}

void openFile(const QString& path) {
    const QUrl url = QUrl::fromLocalFile(path);
    if (opener())
        opener()(url);
    else
        QDesktopServices::openUrl(url);
}

} // namespace browser
