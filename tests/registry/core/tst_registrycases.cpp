// The registry layer, one case a folder under tests/data/registry. The steps of `case`:
//   convert FILE [--answer yes|no ...]  converts a .reg export; the template it made goes to FILE.adm, its
//                                       scratch files (machine, user, discard) to FILE.scratch1..3
//   load FILE                           loads a template as the editor does (its outcome only)
//   parse FILE                          reads a store file: its keys and values, or the line at fault;
//                                       written back into FILE.out
//   put FILE HIVE                       puts FILE in the store as HIVE's file (as an edit by hand would)
//   set HIVE KEY NAME TEXT | create HIVE KEY | query HIVE KEY NAME | subkeys HIVE KEY | values HIVE KEY
//                                       store operations (HIVE: user, machine, classes or a number)
//   show HIVE                           the store's file of HIVE, time stamps of this hour as {now}
//   associate EXE                       registers the file types for the program EXE, as every start does
//   read HIVE KEY NAME [TYPE [DEFAULT]] clsReg's value and type (TYPE and DEFAULT set before reading)
//   write HIVE KEY NAME TYPE TEXT       clsReg's setValue with TYPE asked for
//   clsexists|clscreate|sections|valuenames HIVE KEY     clsReg's key calls
//   filetype EXE ICON                   clsReg's CreateEXEAssociation of T.Doc for ".tst" (a ' in EXE: a ")
//   verbs CLASS WORD...                 clsReg's CreateAdditionalEXEAssociations under HKEY_CLASSES_ROOT
//   option ARGS...                      takes --registry out of a command line
//   location [DIR]                      where the store lives by default, or in DIR
// Every message, step and outcome go to `log`; made files to expected/.
#include "casefolders.h"
#include "document/loader.h"
#include "document/tempfiles.h"
#include "document/templatedocument.h"
#include "loggingprompter.h"
#include "registry/core/clsreg.h"
#include "registry/core/fileassociations.h"
#include "registry/core/regconversion.h"
#include "registry/core/registryerror.h"
#include "registry/core/registryfile.h"
#include "registry/core/registryfilestore.h"
#include "registry/core/registrylocation.h"

#include <QCoreApplication>
#include <QStandardPaths>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace kova;
using namespace kova::test;

namespace {

// What the conversion tells its host, in the log.
struct LoggingHost : ConversionHost
{
    QByteArray &log;
    QString dir;
    qint64 turns = 0, done = -1, total = -1;
    bool ordered = true;
    explicit LoggingHost(QByteArray &l, QString d) : log(l), dir(std::move(d)) {}
    void setBusy(bool b) override { log += b ? "busy\n" : "not busy\n"; }
    void progress(qint64 d, qint64 t) override
    {
        ordered = ordered && d >= done;
        ++turns, done = d, total = t;
    }
    void addRecentFile(const QString &p) override { log += "recent + " + QFileInfo(p).fileName().toUtf8() + '\n'; }
    void removeRecentFile(const QString &p) override { log += "recent - " + QFileInfo(p).fileName().toUtf8() + '\n'; }
};

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

qint32 hiveOf(const QString &word)
{
    return word == u"user"      ? Hive::CurrentUser
           : word == u"machine" ? Hive::LocalMachine
           : word == u"classes" ? Hive::ClassesRoot
                                : qint32(word.toUInt(nullptr, 0));
}

QByteArray describe(const RegistryValue &v)
{
    QByteArray out = QByteArray::number(v.type) + ':';
    if ((v.type == 1 || v.type == 2 || v.type == 7) && v.data.size() % 2 == 0)
        return out + '"' +
               QString::fromUtf16(reinterpret_cast<const char16_t *>(v.data.constData()), v.data.size() / 2)
                   .toUtf8()
                   .replace('\0', "\\0") +
               '"';
    return out + v.data.toHex(',');
}

QByteArray listed(const std::optional<QStringList> &names)
{
    return names ? "= " + names->join(u", ").toUtf8() + '\n' : "= no such key\n";
}

} // namespace

class TestRegistryCases : public QObject
{
    Q_OBJECT

    QTemporaryDir m_tmp; // the temporary folder of every scratch file made here

    QByteArray step(const QStringList &s, const QString &dir, RegistryFileStore &store, LoggingPrompter &prompter)
    {
        QByteArray log;
        const QString verb = s.first(), path = dir + u'/' + s.value(1);
        for (qsizetype i = 2; i + 1 < s.size(); ++i)
            if (s.at(i) == QStringLiteral("--answer"))
                prompter.answers.enqueue(s.at(i + 1) == QStringLiteral("yes") ? Answer::Yes : Answer::No);
        if (verb == u"convert") {
            QString converted = path;
            TempFiles temp;
            LoggingHost host(log, dir);
            const bool ok = ConvertRegFile(converted, prompter, temp, host);
            log += ok ? "= converted" : "= not converted";
            log += ", read " + QByteArray::number(host.done) + " of " + QByteArray::number(host.total) + " in " +
                   QByteArray::number(host.turns) + (host.ordered ? " turns\n" : " turns, out of order\n");
            const QStringList made = temp.paths();
            for (qsizetype i = 0; i < made.size(); ++i) {
                const QFileInfo info(made.at(i));
                if (!info.fileName().startsWith(u"ADM") || !info.fileName().endsWith(u".tmp") ||
                    info.absolutePath() != QDir(m_tmp.path()).canonicalPath())
                    log += "scratch file out of place: " + made.at(i).toUtf8() + '\n';
                const QString copy = i + 1 == made.size() && ok ? path + QStringLiteral(".adm")
                                                                : path + QStringLiteral(".scratch%1").arg(i + 1);
                writeBytes(copy, bytesOf(made.at(i)));
            }
            if (ok && (made.isEmpty() || made.last() != converted))
                log += "the result is not the last scratch file\n";
            temp.removeAll();
        } else if (verb == u"load") {
            TemplateDocument doc;
            const LoadResult result = Vullen(doc, path, prompter);
            log += result.loaded() ? "= Loaded\n" : "= Failed at line " + QByteArray::number(result.errorLine) + '\n';
        } else if (verb == u"parse") {
            RegistryFileContents c;
            if (const auto error = parseRegistryFile(bytesOf(path), c)) {
                log += "= line " + QByteArray::number(error->line) + ": " + error->reason.toUtf8() + '\n';
            } else {
                for (const StoredKey &k : c.keys()) {
                    log += '[' + k.path.toUtf8() + "] " + k.stamp.toUtf8() + '\n';
                    for (const StoredKey::Value &v : k.values)
                        log += "  " + (v.name.isEmpty() ? "@" : v.name.toUtf8()) + " = " + describe(v.value) + '\n';
                }
                writeBytes(path + QStringLiteral(".out"), renderRegistryFile(c));
            }
        } else if (verb == u"put") {
            const QString to = store.filePath(hiveOf(s.value(2)));
            if (!QDir().mkpath(QFileInfo(to).path()) || !writeBytes(to, bytesOf(path)))
                log += "= cannot put it there\n";
        } else if (verb == u"associate") { // as every start does, for the program at FILE
            clsReg reg(store, QStringLiteral("KOVA.cRegistry"));
            const QList<AssociationFailure> failures = registerFileAssociations(reg, s.value(1));
            for (const AssociationFailure &f : failures)
                log += "= " + f.call.toUtf8() + ": " + QByteArray::number(f.error.number()) + ' ' +
                       f.error.description().replace(store.directory(), QStringLiteral("{store}")).toUtf8() + '\n';
            log += failures.isEmpty() ? "= associated\n" : "";
        } else if (verb == u"option") {
            QStringList args = s.mid(1);
            RegistryLocation location;
            QString error;
            log += takeRegistryOption(args, location, &error) ? "= taken" : "= refused: " + error.toUtf8();
            log += ", [" + location.storeDirectory.toUtf8() + "], " + args.join(u' ').toUtf8() + '\n';
        } else if (verb == u"location") { // the store's files without --registry DIR, or with it
            QCoreApplication::setOrganizationName(QStringLiteral("Brenlow"));
            QCoreApplication::setApplicationName(QStringLiteral("Kova"));
            const auto backend = makeRegistryBackend(RegistryLocation{s.value(1)});
            const auto *files = dynamic_cast<const RegistryFileStore *>(backend.get());
            if (!files)
                return log + "= not a file store\n";
            QString paths = files->filePath(Hive::CurrentUser) + u' ' + files->filePath(Hive::ClassesRoot);
            paths.replace(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation),
                          QStringLiteral("{data}"));
            log += "= " + paths.toUtf8() + '\n';
        } else if (verb == u"show") {
            QString text = QString::fromUtf8(bytesOf(store.filePath(hiveOf(s.value(1)))));
            const qint64 now = QDateTime::currentSecsSinceEpoch();
            static const QRegularExpression stamp(QStringLiteral("^(\\[.*\\]) (\\d+)$"),
                                                  QRegularExpression::MultilineOption);
            for (auto m = stamp.globalMatch(text); m.hasNext();) {
                const auto match = m.next();
                if (qAbs(match.captured(2).toLongLong() - now) < 3600)
                    text.replace(match.captured(0), match.captured(1) + QStringLiteral(" {now}"));
            }
            log += text.isNull() ? "= no file\n" : text.toUtf8();
        } else {
            const qint32 hive = hiveOf(s.value(1));
            const QString key = s.value(2), name = s.value(3);
            clsReg reg(store, QString()); // its errors name this program
            reg.setClassKey(hive);
            reg.setSectionKey(key);
            reg.setValueKey(name);
            QStringList names;
            int count = -1;
            try {
                if (verb == u"read") {
                    if (s.size() > 4)
                        reg.setValueType(s.value(4).toInt());
                    if (s.size() > 5)
                        reg.setDEFAULT(s.value(5));
                    const QVariant v = reg.Value();
                    const bool bytes = v.metaType() == QMetaType::fromType<QByteArray>();
                    log += "= " + QByteArray(v.isValid() ? v.typeName() : "nothing") + ' ' +
                           (bytes ? v.toByteArray().toHex(',') : v.toString().toUtf8().replace('\0', "\\0")) +
                           ", type " + QByteArray::number(reg.ValueType()) + '\n';
                } else if (verb == u"write") {
                    reg.setValueType(s.value(4).toInt());
                    reg.setValue(s.value(5));
                    log += "= written\n";
                } else if (verb == u"clsexists") {
                    log += reg.KeyExists() ? "= yes\n" : "= no\n";
                } else if (verb == u"clscreate") {
                    log += reg.CreateKey() ? "= created\n" : "= not created\n";
                } else if (verb == u"sections" || verb == u"valuenames") {
                    verb == u"sections" ? reg.EnumerateSections(names, count) : reg.EnumerateValues(names, count);
                    log += "= " + QByteArray::number(count) + ": " + names.join(u", ").toUtf8() + '\n';
                } else if (verb == u"filetype") {
                    reg.CreateEXEAssociation(s.value(1).replace(u'\'', u'"'), QStringLiteral("T.Doc"),
                                             QStringLiteral("Test"), QStringLiteral("tst"), QString(),
                                             s.value(2).toInt());
                    log += "= class key " + QByteArray::number(quint32(reg.ClassKey()), 16) + '\n';
                } else if (verb == u"verbs") {
                    reg.setClassKey(Hive::ClassesRoot);
                    reg.CreateAdditionalEXEAssociations(s.value(1), s.mid(2));
                    log += "= added\n";
                } else if (verb == u"set") {
                    const QString text = s.value(4);
                    QByteArray data(reinterpret_cast<const char *>(text.utf16()), (text.size() + 1) * 2);
                    log += store.setValue(hive, key, name, RegistryValue{1, data}) ? "= set\n" : "= refused\n";
                } else if (verb == u"create") {
                    log += store.createKey(hive, key) ? "= created\n" : "= refused\n";
                } else if (verb == u"exists") {
                    log += store.keyExists(hive, key) ? "= yes\n" : "= no\n";
                } else if (verb == u"query") {
                    const std::optional<RegistryValue> v = store.queryValue(hive, key, name);
                    log += v ? "= " + describe(*v) + '\n' : "= none\n";
                } else if (verb == u"subkeys") {
                    log += listed(store.subkeyNames(hive, key));
                } else if (verb == u"values") {
                    log += listed(store.valueNames(hive, key));
                } else {
                    QTest::qFail(qPrintable(QStringLiteral("unknown step: ") + verb), __FILE__, __LINE__);
                }
            } catch (const RegistryError &e) {
                log += "= error " + QByteArray::number(e.number()) + ' ' + e.source().toUtf8() + ": " +
                       e.description().replace(store.directory(), QStringLiteral("{store}")).toUtf8() + '\n';
            } catch (const RegistryBackendError &e) {
                log +=
                    "= error: " + e.description().replace(store.directory(), QStringLiteral("{store}")).toUtf8() + '\n';
            }
        }
        return log;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_tmp.isValid());
        qputenv("TMPDIR", m_tmp.path().toLocal8Bit());
        qputenv("KOVA_TEST_DIR", "C:\\Kova");
    }
    void run_data() { addCaseRows(QStringLiteral("registry")); }
    void run()
    {
        QFETCH(CaseFolder, testCase);
        const QList<QStringList> steps = testCase.steps();
        QVERIFY2(!steps.isEmpty(), "a case needs at least one step");
        QTemporaryDir scratch, storeDir;
        QVERIFY(testCase.copyInputs(scratch.path()));
        RegistryFileStore store(storeDir.filePath(QStringLiteral("store")));
        QByteArray log;
        LoggingPrompter prompter(log);
        for (const QStringList &s : steps) {
            log += "> " + s.join(u' ').toUtf8() + '\n';
            log += step(s, scratch.path(), store, prompter);
        }
        KOVA_COMPARE_RESULT(testCase, QStringLiteral("log"), log.replace(scratch.path().toUtf8(), "{dir}"));
        KOVA_COMPARE_MADE_FILES(testCase, scratch.path());
    }
};

QTEST_GUILESS_MAIN(TestRegistryCases)
#include "tst_registrycases.moc"
