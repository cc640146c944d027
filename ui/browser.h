#pragma once

#include <QString>
#include <QUrl>

#include <functional>

// Pages the program wrote open in the user's browser through here, so that tests can see what would open.
namespace browser {

// An opener takes the browser's place and gets the page's address; an empty one brings the browser back.
using Opener = std::function<void(const QUrl&)>;
void setOpener(Opener opener);

// Opens a file in the user's browser.
void openFile(const QString& path);

} // namespace browser
