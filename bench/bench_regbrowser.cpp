// The registry browser on a store the size of a real Wine prefix's system.reg (about 150,000 keys,
// 600,000 values), beside reading that file once (cat) and the store's own parse in the same run:
// expanding a key of 5,000 subkeys (each child's subkey test included), showing a key of 5,000
// values, walking to a key eight levels down, and Refresh. Run on the offscreen platform:
//
//   QT_QPA_PLATFORM=offscreen bench_regbrowser [--rounds N]
#include "benchsupport.h"
#include "registry/browser/registrybrowser.h"
#include "registry/browser/registryimages.h"
#include "registry/browser/registrytree.h"
#include "registry/core/clsreg.h"
#include "registry/core/registryfile.h"
#include "registry/core/registryfilestore.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <cstdio>

using namespace kova;

namespace {

const char *const kDeep = "HKEY_LOCAL_MACHINE\\Software\\D1\\D2\\D3\\D4\\D5\\D6\\D7";

QByteArray generateStore(int &keys, int &values)
{
    QByteArray out = "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n";
    out.reserve(40 << 20);
    keys = 0;
    values = 0;
    const auto key = [&](const QByteArray &path) {
        out += "\n[" + path + "] 1700000000\n#time=1d9a0b0c0d0e0f0\n";
        ++keys;
    };
    const auto value = [&](int i) {
        switch (i % 4) {
        case 0:
            out += "\"Name" + QByteArray::number(i) + "\"=\"Some setting text " + QByteArray::number(i) + "\"\n";
            break;
        case 1:
            out += "\"Count" + QByteArray::number(i) + "\"=dword:" + QByteArray::number(i, 16).rightJustified(8, '0') +
                   "\n";
            break;
        case 2: out += "\"Data" + QByteArray::number(i) + "\"=hex:01,02,03,04,05,06,07,08\n"; break;
        default: out += "\"Path" + QByteArray::number(i) + "\"=str(2):\"%SystemRoot%\\\\system32\"\n"; break;
        }
        ++values;
    };
    key("Software\\\\Wide");
    for (int i = 0; i < 5000; ++i) {
        key("Software\\\\Wide\\\\Child" + QByteArray::number(i).rightJustified(4, '0'));
        value(i);
        if (i % 2 == 0)
            key("Software\\\\Wide\\\\Child" + QByteArray::number(i).rightJustified(4, '0') + "\\\\Inner");
    }
    key("Software\\\\ManyValues");
    for (int i = 0; i < 5000; ++i)
        value(i);
    key("Software\\\\D1\\\\D2\\\\D3\\\\D4\\\\D5\\\\D6\\\\D7");
    value(1);
    for (int v = 0; keys < 150000; ++v) {
        for (int a = 0; a < 40 && keys < 150000; ++a) {
            const QByteArray app = "Software\\\\Vendor" + QByteArray::number(v) + "\\\\App" + QByteArray::number(a);
            key(app);
            for (int s = 0; s < 20 && keys < 150000; ++s) {
                key(app + "\\\\Settings\\\\Group" + QByteArray::number(s));
                for (int i = 0; i < 4 + (s % 3 == 0 ? 1 : 0); ++i)
                    value(s * 5 + i);
            }
        }
    }
    return out;
}

struct FixedKey : ActiveKeySource
{
    QString text;
    QString activeKeyText() const override { return text; }
};

QTreeWidgetItem *childNamed(QTreeWidgetItem *parent, const QString &name)
{
    for (int i = 0; i < parent->childCount(); ++i)
        if (parent->child(i)->text(0) == name)
            return parent->child(i);
    return nullptr;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int rounds = args.size() >= 3 && args.at(1) == u"--rounds" ? std::max(1, args.at(2).toInt()) : 3;

    QTemporaryDir dir;
    int keys = 0;
    int values = 0;
    const QByteArray bytes = generateStore(keys, values);
    const QString file = dir.filePath(QStringLiteral("system.reg"));
    {
        QFile f(file);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    std::printf("store: %d keys, %d values, %.1f MB\n", keys, values, bytes.size() / 1048576.0);

    const double cat = bench::best(rounds, [&] {
        QProcess::execute(QStringLiteral("sh"), {QStringLiteral("-c"), QStringLiteral("cat \"$0\" > /dev/null"), file});
    });
    const double parse = bench::best(rounds, [&] {
        QFile f(file);
        f.open(QIODevice::ReadOnly);
        RegistryFileContents contents;
        parseRegistryFile(f.readAll(), contents);
    });

    RegistryFileStore store(dir.path());
    clsReg reg(store);
    FixedKey active;
    RegistryImages images;
    RegistryBrowser page(reg, active, images);
    page.resize(900, 600);
    page.show();
    const double firstRefresh = bench::best(1, [&] { page.RefreshRegistryBrowser(); });

    QTreeWidgetItem *software = childNamed(page.TreeReg()->topLevelItem(0), QStringLiteral("Software"));
    software->setExpanded(true);
    const double expand = bench::best(rounds, [&] {
        QTreeWidgetItem *wide = childNamed(software, QStringLiteral("Wide"));
        wide->setExpanded(false);
        qDeleteAll(wide->takeChildren());
        wide->addChild(new QTreeWidgetItem(QStringList{RegistryTree::Placeholder}));
        wide->setExpanded(true);
    });
    const int wideChildren = childNamed(software, QStringLiteral("Wide"))->childCount();

    // The registry reads alone, without the list.
    const double reads = bench::best(rounds, [&] {
        QStringList names;
        int n = 0;
        reg.setClassKey(Hive::LocalMachine);
        reg.setSectionKey(QStringLiteral("Software\\ManyValues"));
        reg.EnumerateValues(names, n);
        for (const QString &name : std::as_const(names)) {
            reg.setValueKey(name);
            reg.Value();
        }
    });
    QTreeWidgetItem *many = childNamed(software, QStringLiteral("ManyValues"));
    const double show = bench::best(rounds, [&] { page.ShowKeyValues(many); });
    const int rows = page.ListReg()->topLevelItemCount();

    // Each walk starts on a tree read afresh, so that it reads every level on its way down.
    active.text = QString::fromLatin1(kDeep);
    double gotoKey = 1e9;
    for (int i = 0; i < rounds; ++i) {
        page.Label10()->clear();
        page.RefreshRegistryBrowser();
        QElapsedTimer timer;
        timer.start();
        page.GotoRegistryKey(true);
        gotoKey = std::min(gotoKey, timer.nsecsElapsed() / 1e9);
    }
    const bool reached = page.Label10()->text() == QString::fromLatin1(kDeep);
    const double refresh = bench::best(rounds, [&] { page.RefreshRegistryBrowser(); });

    std::printf("cat (read the file once):       %8.1f ms\n", cat * 1e3);
    std::printf("parse (the store's own):        %8.1f ms\n", parse * 1e3);
    std::printf("first Refresh (parse + index):  %8.1f ms  %5.2f x parse\n", firstRefresh * 1e3, firstRefresh / parse);
    const auto line = [&](const char *what, double s) {
        std::printf("%-31s %8.1f ms  %5.3f x parse  %6.2f x cat\n", what, s * 1e3, s / parse, s / cat);
    };
    line("expand 5,000 subkeys:", expand);
    line("read 5,000 values (clsReg):", reads);
    line("show 5,000 values:", show);
    line("GotoRegistryKey, depth 8:", gotoKey);
    line("Refresh (walks back, depth 8):", refresh);
    std::printf("checks: %d children, %d rows, walk reached the key: %s\n", wideChildren, rows, reached ? "yes" : "no");
    return wideChildren == 5000 && rows == 5001 && reached ? 0 : 1;
}
