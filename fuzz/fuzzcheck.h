#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// A result that breaks what its function promises stops the run like a crash, so libFuzzer keeps the
// input: a wrong answer is found, not only a fault.
inline void require(bool holds, const char* promise) {
    if (holds)
        return;
    std::fprintf(stderr, "Broken promise: %s\n", promise);
    std::abort();
}

inline QByteArray bytesOf(const std::uint8_t* data, std::size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

// Device text reaches the parsers as UTF-8 cut into lines.
inline QString textOf(const std::uint8_t* data, std::size_t size) {
    return QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

// Whether s has nothing to trim at either end.
inline bool isTrimmed(const QString& s) {
    return s.isEmpty() || (s.front().unicode() > 0x20 && s.back().unicode() > 0x20);
}
