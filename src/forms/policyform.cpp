#include "policyform.h"

#include "document/nodekeys.h"

namespace kova {

PolicyForm PolicyForm::load(const QStringList &lines)
{
    PolicyForm f;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        if (lines.at(i).startsWith(u"POLICY"))
            f.description = Unquote(lines.at(i).mid(6).trimmed());
        f.loadLine(lines, i);
    }
    f.trimFields();
    f.description = f.description.trimmed();
    return f;
}

std::optional<FieldError> PolicyForm::validate() const
{
    if (auto error = validateValueName())
        return error;
    if (description.trimmed().isEmpty())
        return FieldError{Description, QStringLiteral("Policy name is empty")};
    return validateValues();
}

QString PolicyForm::compose() const
{
    return QStringLiteral("POLICY ") + Quote(description) + QStringLiteral("\r\n") + composeBody() +
           QStringLiteral("END POLICY\r\n");
}

} // namespace kova
