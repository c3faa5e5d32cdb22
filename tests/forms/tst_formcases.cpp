// The editor pages' forms, one case a folder under tests/data/forms. The steps of `case`:
//   ok FILE [--inherited KEY] [--lists-off]   loads the node lines of FILE into the form of their kind (from the first
//                               line) and presses Ok unchanged: the first failing check, or the text
//                               stored, written to FILE.out (KEY: the key the node inherits; --lists-off:
//                               a policy's action list boxes cleared first)
//   items FILE [--checkbox] [--numeric-box]   every line of FILE opened in the action item editor
//                               (--checkbox: the check box page's; --numeric-box: its numeric box then
//                               ticked), checked and composed again
//   entries FILE item|action    every line of FILE opened in the drop-down entry editor, checked and composed
//   number LOCALE TEXT   move COUNT SELECTED DIRECTION   startkey DISPLAY
//   pickkey FIELD ANSWER   pickvalue KEYFIELD VALUEFIELD ANSWER    (a page whose key display is
//                               HKEY_LOCAL_MACHINE\Software\Inherited; ANSWER: what the picker gives)
//   pickitem FILE SELECTED ITEMFIELD   the item pickers over the items in FILE, on a user page keyed PageKey
// Every step and outcome go to `log`; made files to expected/.
#include "casefolders.h"
#include "forms/actionlist.h"
#include "forms/categoryform.h"
#include "forms/checkboxform.h"
#include "forms/dropdownform.h"
#include "forms/editsession.h"
#include "forms/listboxform.h"
#include "forms/listmoves.h"
#include "forms/numericform.h"
#include "forms/pickerglue.h"
#include "forms/policyform.h"
#include "forms/textform.h"
#include "forms/textpartform.h"
#include "scriptedpickers.h"

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

Outcome okUnchanged(const QStringList &lines, const QString &inherited, bool listsOff)
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
        PolicyForm f = PolicyForm::load(lines);
        if (listsOff)
            f.listOn = f.listOff = false;
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

QByteArray checked(const std::optional<FieldError> &error)
{
    if (!error)
        return QByteArray();
    return ", field " + QByteArray::number(error->field) + ": \"" + error->message.toUtf8() + '"' +
           (error->focus == FieldError::Focus::AfterMessage ? ", focus after" : "") +
           (error->icon == Message::Icon::Exclamation ? "" : ", no icon");
}

// One entry's fields (a flag for every box that is set), its check and its composed text.
template<typename Form>
QByteArray entry(const Form &f, const QByteArray &kind, std::initializer_list<std::pair<bool, const char *>> boxes)
{
    QByteArray out = "= " + kind + " [" + f.name.toUtf8() + "] [" + f.value.toUtf8() + ']';
    for (const auto &[on, box] : boxes)
        out += on ? QByteArray(" ") + box : QByteArray();
    return out + checked(f.validate()) + " -> " + f.compose().toUtf8() + '\n';
}

// A step other than ok; false when it is unknown.
bool otherStep(const QStringList &s, const QString &dir, QByteArray &log)
{
    const QString verb = s.first();
    const QStringList lines = QString::fromUtf8(bytesOf(dir + u'/' + s.value(1))).split(u'\n', Qt::SkipEmptyParts);
    const QString inherited = QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\Inherited");
    ScriptedPickers pickers;
    pickers.answer = s.last();
    if (verb == u"items") {
        const auto numbers =
            s.contains(QStringLiteral("--checkbox")) ? NumericItemValue::Unquoted : NumericItemValue::AsStored;
        for (const QString &line : lines) {
            ActionItemForm f = ActionItemForm::fromItem(line, numbers);
            f.numericValue = f.numericValue || s.contains(QStringLiteral("--numeric-box"));
            log += entry(f, f.keyname ? "key" : "value",
                         {{f.numericValue, "numeric"}, {f.deleteValue, "delete"}, {f.defaultName, "default-name"}});
        }
    } else if (verb == u"entries") {
        for (const QString &line : lines) {
            const DropdownEntryForm f =
                s.value(2) == u"item" ? DropdownEntryForm::fromItem(line) : DropdownEntryForm::fromAction(line);
            log += entry(f, f.option == DropdownEntryForm::Option::Keyname ? "key" : "value",
                         {{f.numericValue, "numeric"}, {f.deleteValue, "delete"}, {f.defaultMark, "default"}});
        }
    } else if (verb == u"number") {
        log += isNumber(s.value(2), QLocale(s.value(1))) ? "= a number\n" : "= not a number\n";
    } else if (verb == u"move") {
        log += "= " + QByteArray::number(moveTarget(s.value(1).toInt(), s.value(2).toInt(), s.value(3).toInt())) + '\n';
    } else if (verb == u"startkey") {
        log += "= [" + startKeyFromDisplay(s.value(1)).toUtf8() + "]\n";
    } else if (verb == u"pickkey") {
        const QString field = PickKeyName(pickers, QStringLiteral("HKEY_LOCAL_MACHINE"), s.value(1), inherited);
        log += pickers.calls.join(u'\n').toUtf8() + "\n= [" + field.toUtf8() + "]\n";
    } else if (verb == u"pickvalue") {
        const ValuePick p =
            PickValueName(pickers, QStringLiteral("HKEY_LOCAL_MACHINE"), s.value(1), s.value(2), inherited);
        log += pickers.calls.join(u'\n').toUtf8() + "\n= [" + p.field.toUtf8() + ']' + (p.answered ? " answered" : "") +
               (p.defaultName ? " default-name\n" : "\n");
    } else if (verb == u"pickitem") {
        const QString user = QStringLiteral("HKEY_CURRENT_USER"), page = QStringLiteral("PageKey");
        pickers.answer.clear();
        const QString field = PickItemKeyName(pickers, user, lines, s.value(2).toInt(), page, s.value(3), QString());
        PickItemValueName(pickers, user, lines, s.value(2).toInt(), page, s.value(3), QString());
        log += pickers.calls.join(u'\n').toUtf8() + "\n= [" + field.toUtf8() + "]\n";
    } else {
        return false;
    }
    return true;
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
            QVERIFY2(s.size() >= 2, "a step names its file or value");
            if (s.first() != u"ok") {
                QVERIFY2(otherStep(s, scratch.path(), log), "unknown step");
                continue;
            }
            const QString path = scratch.filePath(s.at(1));
            const qsizetype at = s.indexOf(QStringLiteral("--inherited"));
            const QString inherited = at > 0 ? s.value(at + 1) : QString();
            const Outcome o = okUnchanged(makeEditLines(QString::fromUtf8(bytesOf(path))), inherited,
                                          s.contains(QStringLiteral("--lists-off")));
            if (o.error) {
                log += "=" + checked(o.error).mid(1) + '\n';
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
