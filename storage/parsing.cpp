#include "storage/parsing.h"

#include <limits>

namespace storage {

LeadingDigits leadingDigits(QStringView s) {
    constexpr quint64 Largest = std::numeric_limits<quint64>::max();
    LeadingDigits digits;
    while (digits.count < s.size() && s[digits.count] >= u'0' && s[digits.count] <= u'9') {
        const quint64 d = s[digits.count].unicode() - u'0';
        digits.value = digits.value > (Largest - d) / 10 ? Largest : digits.value * 10 + d;
        ++digits.count;
    }
    return digits;
}

namespace {

// The magnitude of a negative bound; -(lo + 1) cannot overflow where -lo could.
quint64 magnitudeOf(qint64 lo) {
    return static_cast<quint64>(-(lo + 1)) + 1;
}

} // namespace

qint64 clamped(bool negative, quint64 magnitude, qint64 lo, qint64 hi) {
    if (negative)
        return magnitude >= magnitudeOf(lo) ? lo : -static_cast<qint64>(magnitude);
    return magnitude >= static_cast<quint64>(hi) ? hi : static_cast<qint64>(magnitude);
}

std::optional<qint64> wholeInteger(QStringView s, qint64 lo, qint64 hi) {
    const bool negative = s.startsWith(u'-');
    if (negative || s.startsWith(u'+'))
        s = s.mid(1);
    const LeadingDigits digits = leadingDigits(s);
    if (digits.count == 0 || digits.count != s.size())
        return std::nullopt;
    if (digits.value > (negative ? magnitudeOf(lo) : static_cast<quint64>(hi)))
        return std::nullopt;
    return clamped(negative, digits.value, lo, hi);
}

QStringList splitTokens(QStringView line, Separators separators) {
    const auto isSeparator = [separators](QChar c) {
        return separators == Separators::Blank ? c == u' ' : c.unicode() <= 0x20;
    };
    QStringList tokens;
    const qsizetype n = line.size();
    qsizetype i = 0;
    for (;;) {
        while (i < n && isSeparator(line[i]))
            ++i;
        if (i >= n)
            return tokens;
        if (line[i] != u'"') {
            const qsizetype start = i;
            while (i < n && !isSeparator(line[i]))
                ++i;
            tokens.append(line.mid(start, i - start).toString());
            continue;
        }
        QString token;
        for (++i; i < n; ++i) {
            if (line[i] != u'"') {
                token.append(line[i]);
            } else if (i + 1 < n && line[i + 1] == u'"') {
                token.append(u'"');
                ++i;
            } else {
                ++i;
                break;
            }
        }
        tokens.append(token);
    }
}

} // namespace storage
