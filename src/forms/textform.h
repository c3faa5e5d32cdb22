#pragma once

#include <QStringList>

namespace kova {

// The Text page's one field: the caption of a text part.
struct TextForm
{
    QString description;

    static TextForm load(const QStringList &editLines);
    // Only the PART and END PART lines; a text part has nothing else. No validation: an empty
    // caption is a blank line on the policy's page.
    QString compose() const;
    QString caption() const { return description.trimmed(); }
};

} // namespace kova
