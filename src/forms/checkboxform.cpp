#include "checkboxform.h"

#include "document/nodekeys.h"

namespace kova {

CheckBoxForm CheckBoxForm::load(const QStringList &lines)
{
    CheckBoxForm f;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        if (lines.at(i).startsWith(u"PART"))
            f.description = Unquote(lines.at(i).mid(4).trimmed());
        if (lines.at(i).startsWith(u"DEFCHECKED"))
            f.defaultChecked = true;
        f.loadLine(lines, i);
    }
    f.trimFields();
    f.description = f.description.trimmed();
    return f;
}

std::optional<FieldError> CheckBoxForm::validate() const
{
    if (description.trimmed().isEmpty())
        return FieldError{Description, QStringLiteral("Checkbox name is empty")};
    if (auto error = validateValueName())
        return error;
    return validateValues();
}

QString CheckBoxForm::compose() const
{
    QString text = QStringLiteral("PART ") + Quote(description) + QStringLiteral(" CHECKBOX\r\n");
    if (defaultChecked)
        text += QStringLiteral("DEFCHECKED\r\n");
    return text + composeBody() + QStringLiteral("END PART\r\n");
}

} // namespace kova
