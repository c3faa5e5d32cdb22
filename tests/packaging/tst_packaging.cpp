// What a desktop user gets from the package: valid desktop and software-centre files, man pages, help
// texts that match the README, shell completion, and a .deb that installs and removes cleanly.
#include "programrun.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kSource = QStringLiteral(KOVA_SOURCE_DIR);
const QString kAppId = QStringLiteral("io.github.brenlow.Kova");

using kova::test::ProgramRun;

ProgramRun run(const QString &program, const QStringList &args, const QString &workingDir = QString())
{
    // dpkg looks for ldconfig and friends on the search path, which a user's often lacks.
    const QStringList environment{"PATH=" + qEnvironmentVariable("PATH") + ":/usr/sbin:/sbin", "LC_ALL=C.UTF-8"};
    return kova::test::runProgram(program, args, QByteArray(), environment, workingDir);
}

QString readText(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// The synopsis lines of a --help text ("  kova-cli check FILE ..." below "usage:"), blanks evened out.
QStringList helpSynopses(const QString &help)
{
    QStringList lines;
    bool inUsage = false;
    for (const QString &line : help.split(u'\n')) {
        if (line == u"usage:")
            inUsage = true;
        else if (inUsage && line.startsWith(QStringLiteral("  ")))
            lines.append(line.simplified());
        else
            inUsage = false;
    }
    return lines;
}

// The README's code-block lines that start with PROGRAM, each with its indented continuation lines.
QStringList readmeSynopses(const QString &program)
{
    QStringList lines;
    bool inEntry = false;
    const QString start = QStringLiteral("    ") + program + u' ';
    for (const QString &line : readText(kSource + QStringLiteral("/README.md")).split(u'\n')) {
        if (line.startsWith(start)) {
            lines.append(line.simplified());
            inEntry = true;
        } else if (inEntry && line.startsWith(QStringLiteral("     "))) {
            lines.last() += u' ' + line.simplified();
        } else {
            inEntry = false;
        }
    }
    return lines;
}

void skipWithout(const QString &tool)
{
    if (QStandardPaths::findExecutable(tool).isEmpty() &&
        QStandardPaths::findExecutable(tool, {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")}).isEmpty())
        QSKIP(qPrintable(tool + QStringLiteral(" is not installed (tools/dev deps installs it)")));
}

} // namespace

class TestPackaging : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_deb;

private slots:
    void validators_data()
    {
        QTest::addColumn<QString>("tool");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("silent"); // any output is a complaint
        const QString p = kSource + QStringLiteral("/packaging/");
        QTest::newRow("desktop entry") << "desktop-file-validate" << QStringList{p + kAppId + ".desktop"} << true;
        QTest::newRow("metainfo") << "appstreamcli" << QStringList{"validate", "--no-net", p + kAppId + ".metainfo.xml"}
                                  << false;
        for (const char *page : {"kova.1", "kova-cli.1"})
            QTest::newRow(page) << "groff" << QStringList{"-man", "-ww", "-z", "-Tutf8", p + "man/" + page} << true;
        QTest::newRow("completion") << "bash" << QStringList{"-n", p + "completion/kova-cli"} << true;
    }
    void validators()
    {
        QFETCH(QString, tool);
        QFETCH(QStringList, args);
        QFETCH(bool, silent);
        skipWithout(tool);
        const ProgramRun r = run(tool, args);
        QVERIFY2(r.code == 0, qPrintable(r.out + r.err));
        if (silent)
            QVERIFY2(r.out.isEmpty() && r.err.isEmpty(), qPrintable(r.out + r.err));
    }

    void helpMatchesReadme_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("path");
        QTest::newRow("kova") << "kova" << QStringLiteral(KOVA_EDITOR);
        QTest::newRow("kova-cli") << "kova-cli" << QStringLiteral(KOVA_CLI);
    }
    void helpMatchesReadme()
    {
        QFETCH(QString, program);
        QFETCH(QString, path);
        const ProgramRun r = run(path, {QStringLiteral("--help")});
        QCOMPARE(r.code, 0);
        QVERIFY2(r.err.isEmpty(), qPrintable(r.err));
        const QStringList help = helpSynopses(r.out);
        QVERIFY2(help.size() >= 2, qPrintable(r.out));
        QCOMPARE(help, readmeSynopses(program));
        QCOMPARE(run(path, {QStringLiteral("-h")}).out, r.out); // -h says the same
    }

    // Every command and option the help names is described in the man page and offered by completion.
    void optionsDocumented_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("file");
        const QString p = kSource + QStringLiteral("/packaging/");
        QTest::newRow("kova.1") << QStringLiteral(KOVA_EDITOR) << p + "man/kova.1";
        QTest::newRow("kova-cli.1") << QStringLiteral(KOVA_CLI) << p + "man/kova-cli.1";
        QTest::newRow("completion") << QStringLiteral(KOVA_CLI) << p + "completion/kova-cli";
    }
    void optionsDocumented()
    {
        QFETCH(QString, path);
        QFETCH(QString, file);
        const QString text = readText(file).replace(QStringLiteral("\\-"), QStringLiteral("-"));
        QVERIFY(!text.isEmpty());
        QStringList words;
        for (const QString &line : helpSynopses(run(path, {QStringLiteral("--help")}).out)) {
            const QStringList parts = line.split(u' ');
            if (parts.size() > 1 && !parts.at(1).startsWith(u'-') && parts.at(1).at(0).isLower())
                words.append(parts.at(1)); // a command
            const QRegularExpression option(QStringLiteral("--[a-z-]+"));
            for (const auto &m : option.globalMatch(line))
                words.append(m.captured());
        }
        QVERIFY(words.size() >= 3);
        for (const QString &word : std::as_const(words))
            QVERIFY2(QRegularExpression(QStringLiteral("(^|[^a-z-])") + QRegularExpression::escape(word) +
                                        QStringLiteral("($|[^a-z-])"))
                         .match(text)
                         .hasMatch(),
                     qPrintable(word + QStringLiteral(" is missing from ") + file));
    }

    void completion_data()
    {
        QTest::addColumn<QStringList>("words"); // the last one is being completed
        QTest::addColumn<QStringList>("offered");
        QTest::newRow("command") << QStringList{"con"} << QStringList{"convert"};
        QTest::newRow("options of convert")
            << QStringList{"convert", "--"}
            << QStringList{"--keep-keys", "--move-to-policies", "--raw", "--registry", "--strings"};
        QTest::newRow("registry export in") << QStringList{"convert", ""} << QStringList{"c.reg", "sub"};
        QTest::newRow("template out") << QStringList{"convert", "c.reg", ""} << QStringList{"B.ADM", "a.adm", "sub"};
        QTest::newRow("registry folder") << QStringList{"check", "--registry", ""} << QStringList{"sub"};
        QTest::newRow("output folder") << QStringList{"export-admx", "a.adm", ""} << QStringList{"sub"};
        QTest::newRow("no more arguments") << QStringList{"check", "a.adm", ""} << QStringList{};
    }
    void completion()
    {
        QFETCH(QStringList, words);
        QFETCH(QStringList, offered);
        skipWithout(QStringLiteral("bash"));
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("sub")));
        for (const char *name : {"a.adm", "B.ADM", "c.reg", "d.txt"})
            QVERIFY(QFile(dir.filePath(QString::fromLatin1(name))).open(QIODevice::WriteOnly));
        const QString script = QStringLiteral("source \"$0\"; COMP_WORDS=(kova-cli \"$@\"); COMP_CWORD=$#; _kova_cli; "
                                              "[ ${#COMPREPLY[@]} -eq 0 ] || printf '%s\\n' \"${COMPREPLY[@]}\"");
        const ProgramRun r =
            run(QStringLiteral("bash"), QStringList{"-c", script, kSource + "/packaging/completion/kova-cli"} + words,
                dir.path());
        QVERIFY2(r.code == 0 && r.err.isEmpty(), qPrintable(r.err));
        QStringList got = r.out.split(u'\n', Qt::SkipEmptyParts);
        got.sort();
        QCOMPARE(got, offered);
    }

    void package()
    {
        for (const char *tool : {"cpack", "dpkg-deb", "dpkg-shlibdeps", "file"})
            skipWithout(QString::fromLatin1(tool));
        const QString out = m_dir.filePath(QStringLiteral("package"));
        const ProgramRun pack = run(QStringLiteral("cpack"), {"-G", "DEB", "-B", out}, QStringLiteral(KOVA_BINARY_DIR));
        QVERIFY2(pack.code == 0, qPrintable(pack.out + pack.err));

        // Named after the version the programs report.
        const QString version = run(QStringLiteral(KOVA_EDITOR), {QStringLiteral("--version")}).out.trimmed();
        QCOMPARE(run(QStringLiteral(KOVA_CLI), {QStringLiteral("--version")}).out.trimmed(),
                 QStringLiteral("kova-cli ") + version.mid(5));
        const QString arch = run(QStringLiteral("dpkg"), {QStringLiteral("--print-architecture")}).out.trimmed();
        m_deb = out + QStringLiteral("/kova_%1_%2.deb").arg(version.mid(5), arch);
        QVERIFY2(QFile::exists(m_deb), qPrintable(QDir(out).entryList().join(u' ')));

        const QString depends = run(QStringLiteral("dpkg-deb"), {"-f", m_deb, "Depends"}).out;
        for (const char *library : {"libc6", "libqt6core6", "libqt6widgets6"})
            QVERIFY2(depends.contains(QString::fromLatin1(library)), qPrintable(depends));

        // No maintainer scripts: the caches are the business of the triggers of shared-mime-info,
        // desktop-file-utils, the icon theme and man-db, so nothing is left behind on removal.
        const QString control = m_dir.filePath(QStringLiteral("control"));
        QCOMPARE(run(QStringLiteral("dpkg-deb"), {"-e", m_deb, control}).code, 0);
        QCOMPARE(QDir(control).entryList(QDir::Files, QDir::Name), (QStringList{"control", "md5sums"}));

        const QStringList listing = run(QStringLiteral("dpkg-deb"), {"--contents", m_deb}).out.split(u'\n');
        QStringList files;
        for (const QString &line : listing)
            if (line.startsWith(u'-'))
                files.append(line.section(u' ', -1));
        for (const QString &expected :
             {QStringLiteral("./usr/bin/kova"), QStringLiteral("./usr/bin/kova-cli"),
              "./usr/share/applications/" + kAppId + ".desktop", "./usr/share/metainfo/" + kAppId + ".metainfo.xml",
              QStringLiteral("./usr/share/mime/packages/kova-adm.xml"),
              "./usr/share/icons/hicolor/48x48/apps/" + kAppId + ".png",
              "./usr/share/icons/hicolor/scalable/apps/" + kAppId + ".svg",
              QStringLiteral("./usr/share/man/man1/kova.1.gz"), QStringLiteral("./usr/share/man/man1/kova-cli.1.gz"),
              QStringLiteral("./usr/share/bash-completion/completions/kova-cli"),
              QStringLiteral("./usr/share/kova/default.htm"), QStringLiteral("./usr/share/kova/updates.htm")})
            QVERIFY2(files.contains(expected), qPrintable(expected));
        for (const QString &file : std::as_const(files))
            QVERIFY2(file.startsWith(QStringLiteral("./usr/")), qPrintable(file));
    }

    // dpkg --root installs into and removes from an empty dpkg database of its own.
    void installAndRemove()
    {
        if (m_deb.isEmpty())
            QSKIP("no package was built");
        const QString root = m_dir.filePath(QStringLiteral("root"));
        const QString admin = root + QStringLiteral("/var/lib/dpkg");
        for (const char *sub : {"info", "updates", "triggers"})
            QVERIFY(QDir().mkpath(admin + u'/' + QString::fromLatin1(sub)));
        for (const char *file : {"status", "available"})
            QVERIFY(QFile(admin + u'/' + QString::fromLatin1(file)).open(QIODevice::WriteOnly));
        const QStringList dpkg{"--root=" + root, QStringLiteral("--force-not-root"), QStringLiteral("--force-depends")};

        const ProgramRun install = run(QStringLiteral("dpkg"), dpkg + QStringList{"--install", m_deb});
        QVERIFY2(install.code == 0, qPrintable(install.out + install.err));
        QVERIFY(QFileInfo(root + QStringLiteral("/usr/bin/kova")).isExecutable());
        const ProgramRun status =
            run(QStringLiteral("dpkg-query"), {"--admindir=" + admin, "-W", "-f=${Status}", "kova"});
        QCOMPARE(status.out, QStringLiteral("install ok installed"));

        const ProgramRun purge = run(QStringLiteral("dpkg"), dpkg + QStringList{"--purge", QStringLiteral("kova")});
        QVERIFY2(purge.code == 0, qPrintable(purge.out + purge.err));
        QCOMPARE(QDir(root).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList{"var"});
    }
};

QTEST_GUILESS_MAIN(TestPackaging)
#include "tst_packaging.moc"
