#pragma once

#include <QString>

#include <optional>

namespace kova {

// Turns a registry export opened as a template into a temporary template file. The editor's
// registry wiring provides it; without one, exports cannot be opened.
class RegExportConverter
{
public:
    virtual ~RegExportConverter() = default;
    // The path of the temporary template; nullopt when the conversion failed (the user was told why).
    virtual std::optional<QString> convertExport(const QString &regPath) = 0;
};

} // namespace kova
