#include "textform.h"

#include "document/nodekeys.h"

#include "document/nodetext.h"

namespace kova {

TextForm TextForm::load(const QStringList &lines)
{
    TextForm f;
    if (lines.size() > 1) {
        QString partName;
        GetEditorKind(lines.at(1), &partName);
        f.description = Unquote(partName).trimmed();
    }
    return f;
}

QString TextForm::compose() const
{
    return QStringLiteral("PART \"") + description.trimmed() + QStringLiteral("\" TEXT\r\nEND PART\r\n");
}

} // namespace kova
