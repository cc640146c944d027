#include "storage/sizes.h"

#include "base/strlist.h"
#include "storage/parsing.h"

#include <QtNumeric>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string>

namespace {

constexpr qint64 Largest = std::numeric_limits<qint64>::max();
constexpr qint64 Smallest = std::numeric_limits<qint64>::min();
// 2^63 is exact as a double; everything from it on lies beyond the 64-bit range.
constexpr double TwoPow63 = 9223372036854775808.0;

// Converting an out-of-range double to an integer is undefined, so the range is checked first.
qint64 truncatedToInt64(double value) {
    if (std::isnan(value))
        return 0;
    if (value >= TwoPow63)
        return Largest;
    if (value <= -TwoPow63)
        return Smallest;
    return static_cast<qint64>(value);
}

// An optional sign, digits and an optional fraction after ".", blanks around ignored; no exponent,
// no "nan" or "inf".
std::optional<double> decimalNumber(QStringView text) {
    const QString s = strlist::trim(text);
    const bool negative = s.startsWith(u'-');
    const qsizetype signLength = negative || s.startsWith(u'+') ? 1 : 0;
    qsizetype i = signLength;
    const storage::LeadingDigits whole = storage::leadingDigits(QStringView(s).mid(i));
    i += whole.count;
    qsizetype fractionDigits = 0;
    if (i < s.size() && s[i] == u'.') {
        fractionDigits = storage::leadingDigits(QStringView(s).mid(i + 1)).count;
        i += 1 + fractionDigits;
    }
    if (i != s.size() || whole.count + fractionDigits == 0)
        return std::nullopt;
    const std::string ascii = s.mid(signLength).toStdString();
    double value = 0;
    const auto [end, error] =
        std::from_chars(ascii.data(), ascii.data() + ascii.size(), value, std::chars_format::fixed);
    // Out of range: beyond any double when there is a whole part other than zero, else too small.
    if (error == std::errc::result_out_of_range)
        value = whole.value > 0 ? HUGE_VAL : 0.0;
    return negative ? -value : value;
}

qint64 unitMultiplier(QChar letter) {
    switch (letter.unicode()) {
    case u'K':
        return qint64(1) << 10;
    case u'M':
        return qint64(1) << 20;
    case u'G':
        return qint64(1) << 30;
    case u'T':
        return qint64(1) << 40;
    case u'P':
        return qint64(1) << 50;
    default:
        return 0;
    }
}

// value with one decimal, rounded half away from zero on its decimal expansion to 18 significant digits
// (1.25 gives 1.3, where binary rounding could give 1.2), "." as the separator.
QString withOneDecimal(double value) {
    char buffer[64];
    const auto written =
        std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value), std::chars_format::scientific, 17);
    // "d.ddddddddddddddddde+xx": value = d.dddd... times 10^xx
    std::string digits(1, buffer[0]);
    digits.append(buffer + 2, 17);
    int exponent = std::atoi(std::find(buffer, written.ptr, 'e') + 1);
    if (exponent < 0) {
        digits.insert(0, static_cast<size_t>(-exponent), '0');
        exponent = 0;
    }
    // The whole part and the tenths, then the digit that decides the rounding.
    const size_t kept = static_cast<size_t>(exponent) + 2;
    if (digits.size() <= kept)
        digits.resize(kept + 1, '0');
    const bool roundUp = digits[kept] >= '5';
    digits.resize(kept);
    if (roundUp) {
        size_t i = kept;
        while (i > 0 && digits[i - 1] == '9')
            digits[--i] = '0';
        if (i == 0)
            digits.insert(0, 1, '1');
        else
            ++digits[i - 1];
    }
    const size_t firstNonZero = std::min(digits.find_first_not_of('0'), digits.size() - 2);
    QString text =
        QString::fromLatin1(digits.data() + firstNonZero, static_cast<qsizetype>(digits.size() - 1 - firstNonZero));
    text += u'.';
    text += QLatin1Char(digits.back());
    if (value < 0)
        text.prepend(u'-');
    return text;
}

} // namespace

qint64 ConvertSizeToBytes(QStringView SizeStr) {
    QString s = strlist::trim(SizeStr.toString().toUpper());
    if (s.isEmpty())
        return 0;
    s.replace(u',', u'.');
    const qint64 multiplier = unitMultiplier(s.back());
    if (multiplier != 0) {
        const std::optional<double> number = decimalNumber(QStringView(s).chopped(1));
        return number ? truncatedToInt64(*number * static_cast<double>(multiplier)) : 0;
    }
    if (s.back() == u'B')
        s.chop(1);
    if (const std::optional<qint64> whole = storage::wholeInteger(s, Smallest, Largest))
        return *whole;
    if (const std::optional<double> number = decimalNumber(s))
        return truncatedToInt64(*number);
    const bool negative = s.startsWith(u'-');
    const storage::LeadingDigits digits = storage::leadingDigits(QStringView(s).mid(negative ? 1 : 0));
    return storage::clamped(negative, digits.value, Smallest, Largest);
}

QString FormatBytes(qint64 Bytes, bool LangFR) {
    if (Bytes == 0)
        return u"0 o"_qs;
    double size = static_cast<double>(Bytes);
    qsizetype unit = 0;
    while (size >= 1024.0 && unit < 5) {
        size /= 1024;
        ++unit;
    }
    QString result = withOneDecimal(size);
    result += u' ';
    result += Suffixes[static_cast<size_t>(unit)];
    if (LangFR)
        result.replace(u'.', u',');
    return result;
}

namespace storage {

qint64 addSaturated(qint64 a, qint64 b) {
    qint64 sum = 0;
    if (qAddOverflow(a, b, &sum))
        return b > 0 ? Largest : Smallest;
    return sum;
}

} // namespace storage
