#pragma once

#include <QByteArray>
#include <QString>

namespace kova {

// Replaces the file at path with bytes, all or nothing: the bytes go to a temporary file beside it that
// takes the old file's place only once everything is written. A file marked read-only is refused, as
// it would be on Windows, even for a user the system would let through. On failure the old file is
// untouched and error holds the system's description.
bool saveFileAtomically(const QString &path, QByteArrayView bytes, QString *error);

} // namespace kova
