#pragma once

#include <QObject>
#include <QStringList>
#include <QVariant>

namespace kova {

class clsReg;

// The registry views' reads through the shared clsReg: each sets the location it reads first. A
// store that cannot be read answers empty; its description is reported once through problemFound,
// so that the views can say it on the page instead of in a box at every click.
class RegistryReader : public QObject
{
    Q_OBJECT

public:
    struct ReadValue
    {
        QVariant value; // invalid when the value could not be read
        qint32 type = 0;
    };

    explicit RegistryReader(clsReg &reg, QObject *parent = nullptr);

    QStringList subkeys(qint32 hive, const QString &section);
    QStringList values(qint32 hive, const QString &section);
    ReadValue value(qint32 hive, const QString &section, const QString &name);

    QStringList problems() const { return m_problems; }
    // Problems found from now on are reported again (a refresh looks at the store afresh).
    void forgetProblems() { m_problems.clear(); }

signals:
    void problemFound(const QString &description);

private:
    void report(const QString &description);
    void locate(qint32 hive, const QString &section);

    clsReg &m_reg;
    QStringList m_problems;
};

} // namespace kova
