#pragma once

#include "registry/core/clsreg.h"
#include "registry/core/registryfilestore.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <memory>

namespace kova::test {

// A registry store of a test's own: system.reg and user.reg written as given, read through one clsReg.
struct RegStoreFixture
{
    QTemporaryDir dir;
    std::unique_ptr<RegistryFileStore> store;
    std::unique_ptr<clsReg> reg;

    // body: the keys of the file, in the store's text format ("[Software\\\\A] 0\n\"v\"=\"x\"\n").
    explicit RegStoreFixture(const QByteArray &machineBody, const QByteArray &userBody = QByteArray())
    {
        writeHive(QStringLiteral("system.reg"), machineBody);
        if (!userBody.isNull())
            writeHive(QStringLiteral("user.reg"), userBody);
        store = std::make_unique<RegistryFileStore>(dir.path());
        reg = std::make_unique<clsReg>(*store, QStringLiteral("kova.cRegistry"));
    }
    QString path(const char *name) const { return dir.filePath(QString::fromLatin1(name)); }
    void writeHive(const QString &name, const QByteArray &body, bool withSignature = true) const
    {
        QFile f(dir.filePath(name));
        if (f.open(QIODevice::WriteOnly))
            f.write((withSignature ? QByteArray("WINE REGISTRY Version 2\n\n") : QByteArray()) + body);
    }
    // The store's files and their bytes, to show that nothing was written.
    QMap<QString, QByteArray> files() const
    {
        QMap<QString, QByteArray> out;
        for (const QString &name : QDir(dir.path()).entryList(QDir::Files)) {
            QFile f(dir.filePath(name));
            if (f.open(QIODevice::ReadOnly))
                out.insert(name, f.readAll());
        }
        return out;
    }
};

// 300 bytes 00 01 02 ... as the store's hex list.
inline QByteArray hexBytes300()
{
    QByteArray out = "hex:";
    for (int i = 0; i < 300; ++i)
        out += QByteArray::number(i % 256, 16).rightJustified(2, '0') + (i < 299 ? "," : "");
    return out;
}

} // namespace kova::test
