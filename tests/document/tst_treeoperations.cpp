#include "document/loader.h"
#include "document/nodekeys.h"
#include "document/templatedocument.h"
#include "document/treeoperations.h"
#include "document/writer.h"

#include "scriptedprompter.h"
#include "templatefixtures.h"

#include <QTest>

using namespace kova;

namespace {

const QByteArray kTemplate = R"(CLASS MACHINE
CATEGORY "Desktop"
KEYNAME "Software\Desktop"
POLICY "Wallpaper"
VALUENAME "Path"
PART "Style" DROPDOWNLIST
END PART
END POLICY
CATEGORY "Inner"
POLICY "Deep"
END POLICY
END CATEGORY
END CATEGORY
CATEGORY "Network"
KEYNAME "Software\Network"
POLICY "Proxy"
END POLICY
END CATEGORY
CATEGORY "Same key"
KEYNAME "Software\Desktop"
END CATEGORY
CLASS USER
CATEGORY "Start"
KEYNAME "Software\Desktop"
END CATEGORY
)";

const QString kClassChanged = QStringLiteral("- The target class is different than its source class.\r\n");
const QString kKeyChanged =
    QStringLiteral("- This drag and drop operation caused a change in the keys beeing used.\r\n");
const QString kCheckKeys = QStringLiteral("Check the keys used in this entry before you continue.");

} // namespace

class TestTreeOperations : public QObject
{
    Q_OBJECT

    TemplateDocument document; // kTemplate, loaded afresh for every test

private slots:
    void init()
    {
        document.clear();
        QVERIFY(test::loadText(document, kTemplate));
    }
    // The part types by their index in the add menus, 1 to 7, and the text of a new node of each kind.
    void newNodeText()
    {
        QCOMPARE(NewNodeText(NewNodeKind::Category, 0), QStringLiteral("CATEGORY \"<new>\"\r\nEND CATEGORY\r\n"));
        QCOMPARE(NewNodeText(NewNodeKind::Policy, 0), QStringLiteral("POLICY \"<new>\"\r\nEND POLICY\r\n"));
        const QStringList types{"CHECKBOX", "COMBOBOX", "DROPDOWNLIST", "EDITTEXT", "LISTBOX", "NUMERIC", "TEXT"};
        for (int i = 1; i <= 7; ++i) {
            QCOMPARE(PartTypeForIndex(i), types.at(i - 1));
            QCOMPARE(NewNodeText(NewNodeKind::Part, i),
                     QStringLiteral("PART \"<new>\" %1\r\nEND PART\r\n").arg(types.at(i - 1)));
        }
        QCOMPARE(PartTypeForIndex(0), QString());
        QCOMPARE(PartTypeForIndex(8), QString());
    }

    void addTakesNextSlotAndLastPlace()
    {
        const int highest = document.texts().highestSlot();
        TemplateNode *policy = test::findNode(document, "Wallpaper");
        TemplateNode *part = AddNode(document, policy, NewNodeKind::Part, 6);
        QVERIFY(part);
        QCOMPARE(part->key(), QStringLiteral("K%1").arg(highest + 1));
        QCOMPARE(part->kind(), NodeKind::Part);
        QCOMPARE(NodeImage(part), QStringLiteral("part"));
        QCOMPARE(part->text, QStringLiteral("<new>"));
        QCOMPARE(test::childTexts(policy), (QStringList{"Style", "<new>"}));
        QCOMPARE(document.nodeText(part), QStringLiteral("PART \"<new>\" NUMERIC\r\nEND PART\r\n"));
        QVERIFY(document.isModified());
        // The written file holds the new part inside its policy.
        const QString written = renderTemplate(document, false);
        QVERIFY2(written.contains(QStringLiteral("\t\t\tPART \"<new>\" NUMERIC\r\n\t\t\tEND PART\r\n\t\tEND POLICY")),
                 qPrintable(written));
    }

    void insert_data()
    {
        QTest::addColumn<QString>("selected");
        QTest::addColumn<int>("position");
        QTest::addColumn<QStringList>("children");
        QTest::newRow("after the first") << "Desktop" << int(InsertPosition::After)
                                         << QStringList{"Desktop", "<new>", "Network", "Same key"};
        QTest::newRow("before the first child puts it first")
            << "Desktop" << int(InsertPosition::Before) << QStringList{"<new>", "Desktop", "Network", "Same key"};
        QTest::newRow("after the last") << "Same key" << int(InsertPosition::After)
                                        << QStringList{"Desktop", "Network", "Same key", "<new>"};
    }
    void insert()
    {
        QFETCH(QString, selected);
        QFETCH(int, position);
        QFETCH(QStringList, children);
        TemplateNode *node =
            InsertNode(document, test::findNode(document, selected), NewNodeKind::Category, InsertPosition(position));
        QVERIFY(node);
        QCOMPARE(test::childTexts(test::findNode(document, "Machine")), children);
        QCOMPARE(document.nodeText(node), QStringLiteral("CATEGORY \"<new>\"\r\nEND CATEGORY\r\n"));
    }

    void insertBesideRootDoesNothing()
    {
        document.setModified(false);
        QVERIFY(!InsertNode(document, document.root(), NewNodeKind::Category, InsertPosition::After));
        QVERIFY(!document.isModified());
    }

    void deleteAsks_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("deleted");
        QTest::newRow("yes") << int(Answer::Yes) << true;
        QTest::newRow("no") << int(Answer::No) << false;
    }
    void deleteAsks()
    {
        QFETCH(int, answer);
        QFETCH(bool, deleted);
        document.setModified(false);
        TemplateNode *desktop = test::findNode(document, "Desktop");
        desktop->text = QStringLiteral(" Desktop ");
        const int partSlot = test::findNode(document, "Style")->slot();
        test::ScriptedPrompter prompter;
        prompter.expect("Delete entry \"Desktop\"", Message::Icon::Exclamation, Message::Buttons::YesNo,
                        Answer(answer));
        QCOMPARE(DeleteNode(document, desktop, prompter), deleted);
        KOVA_VERIFY_PROMPTS_DONE(prompter);
        QCOMPARE(document.isModified(), deleted);
        QCOMPARE(test::findNode(document, "Style") == nullptr, deleted);
        QCOMPARE(document.texts().text(partSlot).isEmpty(), deleted);
        // Nothing of the branch is written, in the body or in the string table.
        for (bool strings : {false, true}) {
            const QString written = renderTemplate(document, strings);
            for (const char *gone : {"Wallpaper", "Style", "Inner", "Deep", "\"Path\""})
                QCOMPARE(written.contains(QLatin1String(gone)), !deleted);
            QVERIFY(written.contains(QStringLiteral("Proxy")));
        }
    }

    void rootAndClassesCannotBeDeletedOrDragged()
    {
        test::ScriptedPrompter prompter; // fails on any question
        for (const char *name : {"Computer", "Machine", "User"}) {
            TemplateNode *node = test::findNode(document, QString::fromLatin1(name));
            QVERIFY(!CanDeleteNode(node));
            QVERIFY(!DeleteNode(document, node, prompter));
            QVERIFY(!CanDragNode(node));
        }
        QVERIFY(CanDragNode(test::findNode(document, "Style")));
    }

    void contextMenu_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("expected"); // the shown entries
        const auto row = [](const char *kind, const char *expected) {
            QTest::newRow(kind) << QString(kind) << QString(expected);
        };
        row("ROOT", "off");
        row("CLASS", "add addCategory");
        row("CATEGORY", "edit remove add addCategory addPolicy insertCategory");
        row("POLICY", "edit remove add addPart insertPolicy");
        row("PART", "edit remove insertPart");
    }
    void contextMenu()
    {
        QFETCH(QString, kind);
        QFETCH(QString, expected);
        const ContextMenuState s = ContextMenuFor(kind);
        if (expected == u"off") {
            QVERIFY(!s.enabled);
            return;
        }
        QStringList shown;
        const std::pair<bool, const char *> entries[] = {{s.edit, "edit"},
                                                         {s.remove, "remove"},
                                                         {s.add, "add"},
                                                         {s.addCategory, "addCategory"},
                                                         {s.addPolicy, "addPolicy"},
                                                         {s.addPart, "addPart"},
                                                         {s.insertCategory, "insertCategory"},
                                                         {s.insertPolicy, "insertPolicy"},
                                                         {s.insertPart, "insertPart"}};
        for (const auto &[on, name] : entries)
            if (on)
                shown.append(QString::fromLatin1(name));
        QVERIFY(s.enabled);
        QCOMPARE(shown.join(u' '), expected);
    }

    void dropRules_data()
    {
        QTest::addColumn<QString>("dragged");
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("allowed");
        const auto row = [](const char *dragged, const char *target, bool allowed) {
            QTest::addRow("%s on %s", dragged, target) << QString(dragged) << QString(target) << allowed;
        };
        row("Network", "User", true);       // category on class
        row("Network", "Same key", true);   // category on category
        row("Desktop", "Inner", false);     // category into its own child
        row("Desktop", "Desktop", false);   // on itself
        row("Network", "Wallpaper", false); // category on policy
        row("Network", "Computer", false);  // category on root
        row("Proxy", "Desktop", true);      // policy on category
        row("Proxy", "Machine", false);     // policy on class
        row("Proxy", "Wallpaper", false);   // policy on policy
        row("Style", "Proxy", true);        // part on policy
        row("Style", "Network", false);     // part on category
        row("User", "Machine", false);      // a class is never dragged
    }
    void dropRules()
    {
        QFETCH(QString, dragged);
        QFETCH(QString, target);
        QFETCH(bool, allowed);
        QCOMPARE(CanDropOn(test::findNode(document, dragged), test::findNode(document, target)), allowed);
    }

    void drop_data()
    {
        QTest::addColumn<QString>("dragged");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("message"); // empty: no message
        const auto row = [](const char *name, const char *dragged, const char *target, const QString &message) {
            QTest::newRow(name) << QString(dragged) << QString(target) << message;
        };
        const QString other = kClassChanged + kKeyChanged + kCheckKeys;
        row("policy to category with another key", "Wallpaper", "Network", kKeyChanged + kCheckKeys);
        row("policy to category with the same key", "Wallpaper", "Same key", "");
        row("policy to the other class", "Wallpaper", "Start", other);
        row("category to the other class", "Network", "User", other);
        row("part keeps its key", "Style", "Deep", "");
        row("policy without own key to a category without one", "Deep", "Inner", "");
    }
    void drop()
    {
        QFETCH(QString, dragged);
        QFETCH(QString, target);
        QFETCH(QString, message);
        document.setModified(false);
        TemplateNode *node = test::findNode(document, dragged);
        TemplateNode *to = test::findNode(document, target);
        const QString slotText = document.nodeText(node);
        const QString key = node->key();
        test::ScriptedPrompter prompter;
        if (!message.isEmpty())
            prompter.expect(message, Message::Icon::Exclamation);
        QVERIFY(DropNode(document, node, to, prompter));
        KOVA_VERIFY_PROMPTS_DONE(prompter);
        QCOMPARE(node->parent(), to);
        QCOMPARE(to->child(to->childCount() - 1), node);
        QCOMPARE(node->key(), key);
        QCOMPARE(document.nodeText(node), slotText);
        QVERIFY(document.isModified());
    }

    void dropIntoOwnBranchIsRefused()
    {
        document.setModified(false);
        const QString before = renderTemplate(document, false);
        test::ScriptedPrompter prompter;
        QVERIFY(!DropNode(document, test::findNode(document, "Desktop"), test::findNode(document, "Inner"), prompter));
        QVERIFY(
            !DropNode(document, test::findNode(document, "Desktop"), test::findNode(document, "Desktop"), prompter));
        QCOMPARE(renderTemplate(document, false), before);
        QVERIFY(!document.isModified());
        QCOMPARE(prompter.messages().size(), 0);
    }

    void expandAllAndImages()
    {
        SetAllExpanded(document, true);
        QVERIFY(test::findNode(document, "Desktop")->expanded);
        QVERIFY(test::findNode(document, "Wallpaper")->expanded);
        QVERIFY(!test::findNode(document, "Style")->expanded); // no children
        QCOMPARE(NodeImage(test::findNode(document, "Desktop")), QStringLiteral("open"));
        QCOMPARE(NodeImage(test::findNode(document, "Wallpaper")), QStringLiteral("open"));
        QCOMPARE(NodeImage(test::findNode(document, "Machine")), QStringLiteral("machine"));
        SetAllExpanded(document, false);
        QVERIFY(!document.root()->expanded);
        QCOMPARE(NodeImage(test::findNode(document, "Desktop")), QStringLiteral("category"));
        QCOMPARE(NodeImage(test::findNode(document, "Wallpaper")), QStringLiteral("policy"));
        QCOMPARE(NodeImage(test::findNode(document, "Style")), QStringLiteral("part"));
    }
};

QTEST_GUILESS_MAIN(TestTreeOperations)
#include "tst_treeoperations.moc"
