#pragma once

#include <QString>

#include <optional>

namespace kova {

// Text rules of text mode, free of widgets. The editor holds one paragraph per file line: a "\n" in
// its plain text stands for the CR LF that ends the line in the file.

// The text without blanks (U+0020) at either end; TABs and other white space stay.
QString trimSpaces(QStringView text);

// The value of a field that holds a decimal number (sign, digits, point, exponent; blanks around
// allowed), or nothing.
std::optional<double> numericValue(QStringView text);

// The position just after the lineEnds-th line end of text (0: the first character), or -1 when the
// text has fewer line ends.
int positionAfterLineEnds(QStringView editorText, int lineEnds);

// Editor text and file text one way and back: CR LF, LF and a lone CR each end a line in a file.
QString editorTextFromFile(QString fileText);
QString fileTextFromEditor(QStringView editorText);

// "Current line: " & line & " of " & count.
QString lineDisplayText(int line, int count);

} // namespace kova
