#pragma once

#include <QByteArray>

class QTextDocument;

namespace rtf {

// The document as a Rich Text Format 1.x file: its text, one paragraph per line, with the font, colour,
// size, weight, slant and underline of every character. Plain ASCII; anything else is written as \uN.
QByteArray fromDocument(const QTextDocument& document);

} // namespace rtf
