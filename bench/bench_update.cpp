// The update check as start-up pays for it: one GET against a local server, the window built with it,
// and the version comparison.
#include "testsupport.h"
#include "update/httpclient.h"
#include "update/update.h"

#include <QApplication>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    testsupport::DialogRecorder dialogs;
    testsupport::HttpStub stub;
    stub.setBody("2.0.16");
    const QString path = QString::fromLatin1(update::VersionPath);

    std::printf("100 version fetches from 127.0.0.1: %lld ms\n", static_cast<long long>(testsupport::bestOfThreeMs([&] {
                    for (int i = 0; i < 100; ++i)
                        update::httpGet(QStringLiteral("127.0.0.1"), stub.port(), path, false);
                })));
    std::printf("20 windows created with the update check: %lld ms\n",
                static_cast<long long>(testsupport::bestOfThreeMs([&] {
                    for (int i = 0; i < 20; ++i)
                        TForm13 form(stub.server());
                })));
    stub.setBody(QByteArray(64 * 1024, '7'));
    std::printf("100 fetches of a 64 KiB answer: %lld ms\n", static_cast<long long>(testsupport::bestOfThreeMs([&] {
                    for (int i = 0; i < 100; ++i)
                        update::httpGet(QStringLiteral("127.0.0.1"), stub.port(), path, false);
                })));
    int newer = 0;
    std::printf("1000000 version comparisons: %lld ms\n", static_cast<long long>(testsupport::bestOfThreeMs([&] {
                    for (int i = 0; i < 1000000; ++i)
                        newer += update::isNewerVersion(i % 2 ? u"2.0.100" : u"2.0.9", u"2.0.15") ? 1 : 0;
                })));
    return newer > 0 && dialogs.shown().isEmpty() ? 0 : 1;
}
