#include "storage/dftable.h"

#include "base/messages.h"
#include "base/strlist.h"
#include "bridge/catalogue.h"
#include "bridge/host.h"
#include "storage/parsing.h"

#include <climits>

namespace {

const Message HumanReadableTitle{"--- Fetching Global Disk Space (df -h - Human-Readable Format)... ---",
                                 "--- Récupération de l'Espace Disque Global (df -h - Format Lisible)... ---"};
const Message RawTitle{"--- Fetching Global Disk Space (df raw - Compatibility Mode)... ---",
                       "--- Récupération de l'Espace Disque Global (df brut - Mode Compatibilité)... ---"};
const Message RawNote{"Note: Raw format was used (Legacy OS Compatibility Mode). Sizes are in **kilobytes (KB)** or "
                      "blocks by default.",
                      "Note : Le format brut a été utilisé (Mode Compatibilité Anciens OS). Les tailles sont en "
                      "**kilooctets (KB)** ou en blocs par défaut."};
const Message Hint{"Look for the line ending with /storage/emulated/0 (Internal Storage)",
                   "Cherchez la ligne se terminant par /storage/emulated/0 (Stockage interne)"};

const storage::DfRow Headings{u"Filesystem"_qs, u"Size"_qs, u"Used"_qs, u"Free"_qs, u"Blksize"_qs};

QString tableLine(const storage::DfRow& row, const std::array<int, 5>& widths) {
    QString line = AdjustLeft(row[0], widths[0]);
    for (size_t i = 1; i < row.size(); ++i)
        line += u'|' + AdjustRight(row[i], widths[i]);
    return line;
}

} // namespace

void NormalizeSpaces(QString& S) {
    S = strlist::trim(S);
    qsizetype kept = 0;
    for (qsizetype i = 0; i < S.size(); ++i)
        if (S[i] != u' ' || kept == 0 || S[kept - 1] != u' ')
            S[kept++] = S[i];
    S.truncate(kept);
}

QString AdjustLeft(const QString& S, int AWidth) {
    return S.size() < AWidth ? S.leftJustified(AWidth) : S.left(AWidth);
}

QString AdjustRight(const QString& S, int AWidth) {
    return S.size() < AWidth ? S.rightJustified(AWidth) : S.right(AWidth);
}

namespace storage {

std::optional<DfRow> dfRow(const QString& rawLine) {
    // df complains about a mount point it may not read on a line of its own.
    if (strlist::endsWithNoCase(strlist::trim(rawLine), u"Permission denied"))
        return std::nullopt;
    QString line = rawLine;
    NormalizeSpaces(line);
    const QStringList tokens = splitTokens(line, Separators::Blank);
    if (tokens.size() < 5)
        return std::nullopt;
    const qsizetype sizesAt = tokens.size() - 4;
    DfRow row;
    row[0] = strlist::trim(tokens.first(sizesAt).join(u' '));
    for (qsizetype i = 0; i < 4; ++i)
        row[static_cast<size_t>(i + 1)] = tokens[sizesAt + i];
    return row;
}

QStringList dfTableLines(const QStringList& rawLines) {
    QList<DfRow> rows;
    for (const QString& raw : rawLines)
        if (std::optional<DfRow> row = dfRow(raw))
            rows.append(std::move(*row));
    std::array<int, 5> widths{10, 4, 4, 4, 7};
    for (const DfRow& row : rows)
        for (size_t i = 0; i < row.size(); ++i)
            widths[i] = std::max(widths[i], static_cast<int>(std::min<qsizetype>(row[i].size(), INT_MAX - 2)));
    widths[0] += 2;
    QStringList table;
    table.reserve(rows.size() + 2);
    table.append(tableLine(Headings, widths));
    QString rule = QString(widths[0], u'-');
    for (size_t i = 1; i < widths.size(); ++i)
        rule += u'+' + QString(widths[i], u'-');
    table.append(rule);
    for (const DfRow& row : rows)
        table.append(tableLine(row, widths));
    return table;
}

bool CalculateGlobalDiskSpace(bridge::Host& host) {
    if (!host.IsDeviceConnected())
        return false;
    const catalogue::Target adb = host.adbTarget();
    const bool rawFormat = host.options().legacy;
    host.write(bridge::Kind::Heading, host.text(rawFormat ? RawTitle : HumanReadableTitle));
    host.blank();
    host.dfTable(host.ExecuteADBCommand(catalogue::df(adb, !rawFormat)));
    host.blank();
    if (rawFormat)
        host.write(bridge::Kind::Warning, host.text(RawNote));
    host.write(bridge::Kind::Hint, host.text(Hint));
    return true;
}

} // namespace storage
