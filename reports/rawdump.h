#pragma once

#include "bridge/catalogue.h"

#include <QString>
#include <QStringList>

#include <array>
#include <functional>

namespace bridge {
class Host;
}

namespace reports {

// The RAW dump in the output folder: written by the RAW dump, read back by the CSV export.
inline constexpr char16_t RawDumpFileName[] = u"DeviceInfoHW_Complete_Raw.txt";

// One output per command, in the order battery, thermal, sensors, CPU, system properties, Wi-Fi.
using RawOutputs = std::array<QStringList, 6>;

// The lines of the RAW dump file: each output under its header line, an empty line after every section
// but the last. While essentialsOn() answers true, a line goes in only if the Essentials filter keeps it;
// it is asked anew for every line.
QStringList AssembleRawDump(const RawOutputs& outputs, const std::function<bool()>& essentialsOn);
// The lines of section i of the RAW dump file (0 to 5), as AssembleRawDump makes them.
QStringList RawDumpSection(std::size_t i, const QStringList& output, const std::function<bool()>& essentialsOn);

// The command lines of the six reports, in the order of the file.
std::array<QString, 6> RawDumpCommands(const catalogue::Target& phone);

// Writes the RAW dump file from the phone's reports; false when no phone could be read.
bool GenerateRawDump(bridge::Host& host);

} // namespace reports
