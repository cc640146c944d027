#pragma once

#include <QStringList>
#include <QStringView>

#include <optional>

// Reading numbers and fields out of device text, whatever the device prints.
namespace storage {

// The ASCII digits at the start of a text: how many there are and their value, held at the largest
// quint64 when they would overflow.
struct LeadingDigits {
    quint64 value = 0;
    qsizetype count = 0;
};
LeadingDigits leadingDigits(QStringView s);

// The signed value of a magnitude, held at lo or hi when it lies beyond them (lo < 0 <= hi).
qint64 clamped(bool negative, quint64 magnitude, qint64 lo, qint64 hi);

// An optional sign and digits, nothing else, with a value within [lo, hi].
std::optional<qint64> wholeInteger(QStringView s, qint64 lo, qint64 hi);

// Where fields are cut: at blanks only (tabs belong to the field), or at any character up to U+0020.
enum class Separators { Blank, BlankOrControl };

// Fields of a line, cut at runs of separators. A field that begins with a double quote runs to the
// next lone double quote, separators included, and loses its quotes; two double quotes in a row inside
// it stand for one. Without a closing quote it runs to the end of the line. A character right after
// the closing quote starts the next field.
QStringList splitTokens(QStringView line, Separators separators);

} // namespace storage
