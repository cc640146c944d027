#pragma once

#include <QByteArray>
#include <QString>

namespace update {

// The longest answer we accept, and how long the whole request may take, name look-up included.
inline constexpr qint64 MaxBodyBytes = 64 * 1024;
inline constexpr int RequestTimeoutMs = 10'000;

// One plain HTTP/1.1 GET of http://host:port/path. The caller waits: a local event loop runs, user input
// excluded, until the answer is complete. Returns the body decoded with decodeBody. Every failure throws
// a TelvaneError worded in French when langFR holds: no connection, unknown host, an error status, a
// redirection (never followed), a body longer than MaxBodyBytes, no complete answer within RequestTimeoutMs.
// What the server wrote into such a message (reason phrase, Location) is cut as outside text.
QString httpGet(const QString& host, quint16 port, const QString& path, bool langFR);

// The body as text, in the charset its Content-Type declares; ISO-8859-1 when it declares none, or one
// we cannot decode, since every byte has a meaning there.
QString decodeBody(const QByteArray& body, const QByteArray& contentType);

} // namespace update
