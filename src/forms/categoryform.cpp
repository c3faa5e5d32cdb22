#include "categoryform.h"

#include "document/nodekeys.h"

namespace kova {

CategoryForm CategoryForm::load(const QStringList &lines)
{
    CategoryForm f;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QString &line = lines.at(i);
        if (line.startsWith(u"CATEGORY"))
            f.description = Unquote(line.mid(8).trimmed()).trimmed();
        if (line.startsWith(u"KEYNAME"))
            f.keyname = Unquote(line.mid(7).trimmed()).trimmed();
    }
    return f;
}

std::optional<FieldError> CategoryForm::validate() const
{
    if (description.trimmed().isEmpty())
        return FieldError{Description, QStringLiteral("Name is required")};
    return std::nullopt;
}

QString CategoryForm::compose() const
{
    QString text = QStringLiteral("CATEGORY ") + Quote(description) + QStringLiteral("\r\n");
    if (!keyname.trimmed().isEmpty())
        text += QStringLiteral("KEYNAME ") + Quote(keyname) + QStringLiteral("\r\n");
    return text + QStringLiteral("END CATEGORY\r\n");
}

} // namespace kova
