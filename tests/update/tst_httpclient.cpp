#include "base/errors.h"
#include "testsupport.h"
#include "update/httpclient.h"
#include "update/update.h"

#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

using testsupport::HttpStub;

namespace {

const QString Path = QString::fromLatin1(update::VersionPath);

// Sends its head at once, then its tail one byte every half second, and never closes: a server stuck
// half-way through its answer.
class HoldingServer : public QObject {
public:
    HoldingServer(const QByteArray& head, const QByteArray& tail) : head_(head), tail_(tail) {
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = server_.nextPendingConnection())
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                    request_ += socket->readAll();
                    if (request_.contains("\r\n\r\n") && !answered_)
                        answer(socket);
                });
        });
        server_.listen(QHostAddress::LocalHost);
    }
    quint16 port() const { return server_.serverPort(); }

private:
    void answer(QTcpSocket* socket) {
        answered_ = true;
        socket->write(head_);
        auto* drip = new QTimer(socket);
        connect(drip, &QTimer::timeout, socket, [this, socket] {
            if (sent_ < tail_.size())
                socket->write(tail_.mid(sent_++, 1));
        });
        drip->start(500);
    }

    QTcpServer server_;
    QByteArray head_;
    QByteArray tail_;
    QByteArray request_;
    qsizetype sent_ = 0;
    bool answered_ = false;
};

QString urlOn(quint16 port) {
    return u"http://127.0.0.1:%1%2"_qs.arg(port).arg(Path);
}

QString failureOf(const QString& host, quint16 port, bool langFR = false) {
    try {
        update::httpGet(host, port, Path, langFR);
    } catch (const TelvaneError& e) {
        return e.message();
    }
    return {};
}

QByteArray chunked(const QByteArray& body) {
    QByteArray raw = "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nTransfer-Encoding: chunked\r\n\r\n";
    for (qsizetype at = 0; at < body.size(); at += 4096) {
        const QByteArray chunk = body.mid(at, 4096);
        raw += QByteArray::number(chunk.size(), 16) + "\r\n" + chunk + "\r\n";
    }
    return raw + "0\r\n\r\n";
}

} // namespace

class TestHttpClient : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void sendsOnePlainGet() {
        HttpStub stub;
        stub.setBody("2.0.16");
        QCOMPARE(update::httpGet(u"127.0.0.1"_qs, stub.port(), Path, false), u"2.0.16"_qs);

        const QByteArray raw = stub.requests().join();
        QVERIFY(raw.endsWith("\r\n\r\n"));
        QCOMPARE(raw.count("\r\n\r\n"), 1);
        QCOMPARE(raw.count('\n'), raw.count("\r\n"));
        QList<QByteArray> lines = raw.chopped(4).replace("\r\n", "\n").split('\n');
        QCOMPARE(lines.takeFirst(), QByteArray("GET /Softwares/Telvane/Version.txt HTTP/1.1"));
        QMap<QByteArray, QByteArray> headers;
        for (const QByteArray& line : lines) {
            const qsizetype colon = line.indexOf(':');
            QVERIFY2(colon > 0, line.constData());
            QVERIFY2(!headers.contains(line.left(colon).toLower()), line.constData());
            headers.insert(line.left(colon).toLower(), line.mid(colon + 1).trimmed());
        }
        QCOMPARE(headers.value("host"), "127.0.0.1:" + QByteArray::number(stub.port()));
        QCOMPARE(headers.value("user-agent"), QByteArray("Mozilla/3.0 (compatible; Indy Library)"));
        QCOMPARE(headers.value("accept"),
                 QByteArray("text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8"));
        // Nothing else: no HTTP/2 upgrade, no proxy header.
        QCOMPARE(headers.keys(), (QList<QByteArray>{"accept", "accept-encoding", "accept-language", "connection",
                                                    "host", "user-agent"}));
    }

    void decodesTheAnswer_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QByteArray>("contentType");
        QTest::addColumn<QString>("text");
        QTest::newRow("ISO-8859-1") << QByteArray("2.0.16 d\xE9j\xE0") << QByteArray("text/plain; charset=iso-8859-1")
                                    << u"2.0.16 déjà"_qs;
        QTest::newRow("UTF-8") << QByteArray("2.0.16 d\xC3\xA9j\xC3\xA0 \xE2\x9C\x94")
                               << QByteArray("text/plain; charset=UTF-8") << u"2.0.16 déjà ✔"_qs;
        QTest::newRow("no charset") << QByteArray("2.0.16 d\xE9j\xE0") << QByteArray("text/plain") << u"2.0.16 déjà"_qs;
        QTest::newRow("exactly 64 KiB") << QByteArray(64 * 1024, '7') << QByteArray("text/plain")
                                        << QString(64 * 1024, u'7');
    }
    void decodesTheAnswer() {
        QFETCH(QByteArray, body);
        QFETCH(QByteArray, contentType);
        QFETCH(QString, text);
        HttpStub stub;
        stub.setBody(body, contentType);
        QCOMPARE(update::httpGet(u"127.0.0.1"_qs, stub.port(), Path, false), text);
    }

    void failuresBecomeErrors_data() {
        QTest::addColumn<QByteArray>("response");
        QTest::addColumn<QString>("message");
        QTest::newRow("404") << QByteArray("HTTP/1.1 404 Not Found\r\nContent-Type: text/html\r\nContent-Length: 9\r\n"
                                           "Connection: close\r\n\r\nNot Found")
                             << u"Update check: %1 answered HTTP 404 Not Found"_qs;
        QTest::newRow("500") << QByteArray("HTTP/1.1 500 Internal Server Error\r\nContent-Length: 0\r\n"
                                           "Connection: close\r\n\r\n")
                             << u"Update check: %1 answered HTTP 500 Internal Server Error"_qs;
        QTest::newRow("301 is not followed")
            << QByteArray("HTTP/1.1 301 Moved Permanently\r\nLocation: http://elsewhere.example/Version.txt\r\n"
                          "Content-Length: 0\r\nConnection: close\r\n\r\n")
            << u"Update check: %1 answered HTTP 301 Moved Permanently, a redirection to "
               "\"http://elsewhere.example/Version.txt\" that is not followed"_qs;
        QTest::newRow("302 without reason phrase")
            << QByteArray(
                   "HTTP/1.1 302 \r\nLocation: /v2/Version.txt\r\nContent-Length: 0\r\nConnection: close\r\n\r\n")
            << u"Update check: %1 answered HTTP 302, a redirection to \"/v2/Version.txt\" that is not followed"_qs;
        QTest::newRow("1 MB body") << QByteArray(
                                          "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: 1048576\r\n"
                                          "Connection: close\r\n\r\n") +
                                          QByteArray(1 << 20, '2')
                                   << u"Update check: the answer of %1 is longer than 65536 bytes"_qs;
        QTest::newRow("64 KiB and one byte")
            << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 65537\r\nConnection: close\r\n\r\n") +
                   QByteArray(64 * 1024 + 1, '2')
            << u"Update check: the answer of %1 is longer than 65536 bytes"_qs;
        QTest::newRow("1 MB in chunks, no length given")
            << chunked(QByteArray(1 << 20, '2')) << u"Update check: the answer of %1 is longer than 65536 bytes"_qs;
    }
    void failuresBecomeErrors() {
        QFETCH(QByteArray, response);
        QFETCH(QString, message);
        HttpStub stub;
        stub.setResponse(response);
        QCOMPARE(failureOf(u"127.0.0.1"_qs, stub.port()), message.arg(urlOn(stub.port())));
        QCOMPARE(stub.requests().join().count("GET "), 1);
    }

    void errorInFrench() {
        HttpStub stub;
        stub.setResponse("HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
        QCOMPARE(failureOf(u"127.0.0.1"_qs, stub.port(), true),
                 u"Vérification de mise à jour : %1 a répondu HTTP 404 Not Found"_qs.arg(urlOn(stub.port())));
    }

    void connectionRefused() {
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        const quint16 port = closed.serverPort();
        closed.close();
        QCOMPARE(failureOf(u"127.0.0.1"_qs, port),
                 u"Update check: cannot get %1: Connection refused"_qs.arg(urlOn(port)));
    }

    void unknownHost() {
        const QString message = failureOf(u"no-such-host.invalid"_qs, 80);
        QVERIFY2(message.startsWith(u"Update check: "_qs), qPrintable(message));
        // Port 80 stays out of the URL and so out of the Host header.
        QVERIFY2(message.contains(u" http://no-such-host.invalid/Softwares/Telvane/Version.txt"_qs),
                 qPrintable(message));
    }

    void tooLongAnswerIsDroppedAtOnce_data() {
        QTest::addColumn<QByteArray>("head");
        QTest::newRow("length announced")
            << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 1048576\r\n\r\n") + QByteArray(1000, '2');
        QTest::newRow("chunks beyond the limit") << chunked(QByteArray(70000, '2')).chopped(5);
    }
    void tooLongAnswerIsDroppedAtOnce() {
        QFETCH(QByteArray, head);
        HoldingServer server(head, {});
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(failureOf(u"127.0.0.1"_qs, server.port()),
                 u"Update check: the answer of %1 is longer than 65536 bytes"_qs.arg(urlOn(server.port())));
        QVERIFY2(clock.elapsed() < 3000, QByteArray::number(clock.elapsed()).constData());
    }

    // A trickle keeps the transfer alive, yet the whole request has ten seconds.
    void slowAnswerTimesOutAfterTenSeconds() {
        HoldingServer server("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n2", QByteArray(99, '0'));
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(failureOf(u"127.0.0.1"_qs, server.port()),
                 u"Update check: no complete answer from %1 within 10 seconds"_qs.arg(urlOn(server.port())));
        QVERIFY2(clock.elapsed() >= 9800 && clock.elapsed() < 12500, QByteArray::number(clock.elapsed()).constData());
    }
};

QTEST_GUILESS_MAIN(TestHttpClient)
#include "tst_httpclient.moc"
