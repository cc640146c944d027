#include "update/httpclient.h"

#include "base/errors.h"
#include "update/messages.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QStringDecoder>
#include <QTimer>
#include <QUrl>

namespace {

const QByteArray UserAgent = QByteArrayLiteral("Mozilla/3.0 (compatible; Indy Library)");
const QByteArray Accept = QByteArrayLiteral("text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8");

QByteArray declaredCharset(const QByteArray& contentType) {
    const QList<QByteArray> params = contentType.split(';');
    for (qsizetype i = 1; i < params.size(); ++i) {
        const QByteArray param = params[i].trimmed();
        const qsizetype equals = param.indexOf('=');
        if (equals < 0 || param.left(equals).trimmed().toLower() != "charset")
            continue;
        QByteArray value = param.mid(equals + 1).trimmed();
        if (value.size() >= 2 && value.startsWith('"') && value.endsWith('"'))
            value = value.mid(1, value.size() - 2).trimmed();
        return value;
    }
    return {};
}

QUrl versionUrl(const QString& host, quint16 port, const QString& path) {
    QUrl url;
    url.setScheme(QStringLiteral("http"));
    url.setHost(host);
    // With port 80 written in the URL, the Host header would carry ":80".
    if (port != 80)
        url.setPort(port);
    url.setPath(path);
    return url;
}

QString statusText(const QNetworkReply& reply, int status) {
    const QString reason = reply.attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString().trimmed();
    return reason.isEmpty() ? QString::number(status) : QString::number(status) + u' ' + outsideText(reason);
}

} // namespace

namespace update {

QString decodeBody(const QByteArray& body, const QByteArray& contentType) {
    const QByteArray charset = declaredCharset(contentType);
    if (!charset.isEmpty()) {
        QStringDecoder decoder(charset.constData());
        if (decoder.isValid())
            return decoder.decode(body);
    }
    return QString::fromLatin1(body);
}

QString httpGet(const QString& host, quint16 port, const QString& path, bool langFR) {
    const QUrl url = versionUrl(host, port, path);
    const QString where = url.toString();

    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setRawHeader("User-Agent", UserAgent);
    request.setRawHeader("Accept", Accept);

    QNetworkAccessManager manager;
    // No proxy from the environment: the program reads no setting of its own.
    manager.setProxy(QNetworkProxy::NoProxy);
    QNetworkReply* reply = manager.get(request);
    reply->setReadBufferSize(MaxBodyBytes + 1);

    QByteArray body;
    bool tooLong = false;
    bool timedOut = false;
    const auto giveUp = [reply](bool& why) {
        why = true;
        reply->abort();
    };
    const auto takeBody = [&] {
        // An aborted reply is closed, and what it still held is of no use.
        if (!reply->isOpen())
            return;
        body += reply->readAll();
        if (body.size() > MaxBodyBytes)
            giveUp(tooLong);
    };
    QObject::connect(reply, &QNetworkReply::metaDataChanged, reply, [&] {
        if (reply->header(QNetworkRequest::ContentLengthHeader).toLongLong() > MaxBodyBytes)
            giveUp(tooLong);
    });
    QObject::connect(reply, &QNetworkReply::readyRead, reply, takeBody);

    QTimer deadline;
    deadline.setSingleShot(true);
    deadline.setTimerType(Qt::PreciseTimer);
    QObject::connect(&deadline, &QTimer::timeout, reply, [&] { giveUp(timedOut); });
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    deadline.start(RequestTimeoutMs);
    if (!reply->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    deadline.stop();
    takeBody();

    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (status.isValid() && status.toInt() / 100 == 3)
        throw TelvaneError(msg::Redirected.in(langFR).arg(
            where, statusText(*reply, status.toInt()), outsideText(QString::fromLatin1(reply->rawHeader("Location")))));
    if (status.isValid() && status.toInt() / 100 != 2)
        throw TelvaneError(msg::ErrorStatus.in(langFR).arg(where, statusText(*reply, status.toInt())));
    if (timedOut)
        throw TelvaneError(msg::NoAnswer.in(langFR).arg(where).arg(RequestTimeoutMs / 1000));
    if (tooLong)
        throw TelvaneError(msg::TooLong.in(langFR).arg(where).arg(MaxBodyBytes));
    if (reply->error() != QNetworkReply::NoError)
        throw TelvaneError(msg::Unreachable.in(langFR).arg(where, outsideText(reply->errorString())));
    return decodeBody(body, reply->rawHeader("Content-Type"));
}

} // namespace update
