#pragma once

#include <QString>

namespace kova {

class Prompter;
class TemplateDocument;

// The prefix letter of a line's generated string entry: C for CATEGORY, POLICY and PART lines, K for
// KEYNAME, V for VALUENAME, W for everything else.
QChar StringPrefixOf(QStringView line);

// The whole file as text: body, generated [STRINGS] (with strings on), kept ieak_ entries, other
// sections. The document is not changed.
QString renderTemplate(const TemplateDocument &document, bool strings);

// Writes the document to its current path in the encoding it was read in, with its "Strings" option.
// The old file stays intact when the write fails; the error is shown through prompter and the model
// and modified flag are left as they were. On success the modified flag is cleared.
bool WriteTemplate(TemplateDocument &document, Prompter &prompter);

} // namespace kova
