#pragma once

#include <QStringList>

namespace bridge {
class Host;
}

namespace storage {

// What the first output line of a root count says.
struct CountReading {
    enum class Kind {
        NoOutput,  // nothing printed: no line is written, the count stays 0
        Counted,   // the line is a whole 32-bit number
        ParseError // anything else: the digits it starts with count, held at the largest 32-bit value
    };
    Kind kind = Kind::NoOutput;
    qint32 count = 0;
};

CountReading readCount(const QStringList& output);

// Counts the photos and the videos in shared storage (root finds), with their total.
bool CalculatePhotoVideoCounts(bridge::Host& host);

} // namespace storage
