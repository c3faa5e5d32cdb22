#pragma once

#include "forms/pickers.h"

#include <QString>
#include <QStringList>

namespace kova::test {

// Key and value pickers that answer from a script and remember what they were given.
struct ScriptedPickers : KeyPicker, ValuePicker
{
    QString answer;
    QStringList calls;
    QString pickKey(const QString &root, const QString &startKey) override
    {
        calls << QStringLiteral("key %1 [%2]").arg(root, startKey);
        return answer;
    }
    QString pickValue(const QString &root, const QString &preselect, const QString &key) override
    {
        calls << QStringLiteral("value %1 [%2] [%3]").arg(root, preselect, key);
        return answer;
    }
};

} // namespace kova::test
