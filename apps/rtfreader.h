#pragma once

#include <QByteArrayView>
#include <QStringList>

#include <optional>

namespace rtf {

// The text lines of a Rich Text Format file, one per paragraph (\par) or line break (\line); a last
// paragraph without text is no line. Formatting, pictures, fields' instructions and every table and
// destination that holds no body text are left out. \'hh and 8-bit bytes are read in the document's
// \ansicpg code page (1252 when it names none or one this system does not know); \uN takes the place of
// the \ucN fallback characters after it. Line and paragraph separators and the frame marks U+FDD0 and
// U+FDD1 become blanks (see strlist::blankParagraphBreaks). Empty when the braces do not balance.
std::optional<QStringList> textLines(QByteArrayView rtf);

} // namespace rtf
