// The editor pages' forms, one case a folder under tests/data/forms. The steps of `case`:
//   ok FILE [--inherited KEY]   loads the node lines of FILE into the form of their kind (from the first
//                               line) and presses Ok unchanged: the first failing check, or the text
//                               stored, written to FILE.out (KEY: the key the node inherits)
// Every step and outcome go to `log`; made files to expected/.
#include "casefolders.h"
#include "forms/categoryform.h"
#include "forms/checkboxform.h"
#include "forms/dropdownform.h"
#include "forms/editsession.h"
#include "forms/listboxform.h"
#include "forms/numericform.h"
#include "forms/policyform.h"
#include "forms/textform.h"
#include "forms/textpartform.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace kova;
using namespace kova::test;

namespace {

struct Outcome
{
    std::optional<FieldError> error;
    QString text, caption;
};

Outcome okUnchanged(const QStringList &lines, const QString &inherited)
{
    const auto take = [](const auto &form, std::optional<FieldError> error) {
        return Outcome{std::move(error), form.compose(), form.caption()};
    };
    const QString head = lines.value(1).trimmed(); // the lines count from 1
    const QString type = head.section(u' ', -1);
    if (head.startsWith(u"CATEGORY")) {
        const CategoryForm f = CategoryForm::load(lines);
        return take(f, f.validate());
    }
    if (head.startsWith(u"POLICY")) {
        const PolicyForm f = PolicyForm::load(lines);
        return take(f, f.validate());
    }
    if (type == u"CHECKBOX") {
        const CheckBoxForm f = CheckBoxForm::load(lines);
        return take(f, f.validate());
    }
    if (type == u"COMBOBOX" || type == u"EDITTEXT") {
        const auto kind = type == u"COMBOBOX" ? TextPartForm::Kind::Combobox : TextPartForm::Kind::Edittext;
        const TextPartForm f = TextPartForm::load(kind, lines);
        return take(f, f.validate(inherited));
    }
    if (type == u"DROPDOWNLIST") {
        const DropdownForm f = DropdownForm::load(lines);
        return take(f, f.validate(inherited));
    }
    if (type == u"LISTBOX") {
        const ListboxForm f = ListboxForm::load(lines);
        return take(f, f.validate(inherited));
    }
    if (type == u"NUMERIC") {
        const NumericForm f = NumericForm::load(lines);
        return take(f, f.validate(inherited));
    }
    const TextForm f = TextForm::load(lines);
    return take(f, std::nullopt);
}

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestFormCases : public QObject
{
    Q_OBJECT

private slots:
    void run_data() { addCaseRows(QStringLiteral("forms")); }
    void run()
    {
        KOVA_OPEN_CASE(testCase, steps, scratch);
        QByteArray log;
        for (const QStringList &s : steps) {
            log += "> " + s.join(u' ').toUtf8() + '\n';
            QVERIFY2(s.size() >= 2 && s.first() == u"ok", "a step is: ok FILE [--inherited KEY]");
            const QString path = scratch.filePath(s.at(1));
            const qsizetype at = s.indexOf(QStringLiteral("--inherited"));
            const QString inherited = at > 0 ? s.value(at + 1) : QString();
            const Outcome o = okUnchanged(makeEditLines(QString::fromUtf8(bytesOf(path))), inherited);
            if (o.error) {
                log += "= field " + QByteArray::number(o.error->field) + ": \"" + o.error->message.toUtf8() + '"';
                log += o.error->focus == FieldError::Focus::AfterMessage ? ", focus after" : "";
                log += o.error->icon == Message::Icon::Exclamation ? "\n" : ", no icon\n";
                continue;
            }
            log += "= stored, caption \"" + o.caption.toUtf8() + "\"\n";
            QFile out(path + QStringLiteral(".out"));
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write(o.text.toUtf8());
        }
        KOVA_COMPARE_RESULT(testCase, QStringLiteral("log"), log);
        KOVA_COMPARE_MADE_FILES(testCase, scratch.path());
    }
};

QTEST_GUILESS_MAIN(TestFormCases)
#include "tst_formcases.moc"
