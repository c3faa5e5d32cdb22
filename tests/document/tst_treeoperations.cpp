#include "document/loader.h"
#include "document/templatedocument.h"
#include "document/treeoperations.h"
#include "document/writer.h"
#include "editors/core/nodekeys.h"

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

private slots:
    void newNodeText_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("text");
        QTest::newRow("category") << int(NewNodeKind::Category) << 0 << "CATEGORY \"<new>\"\r\nEND CATEGORY\r\n";
        QTest::newRow("policy") << int(NewNodeKind::Policy) << 0 << "POLICY \"<new>\"\r\nEND POLICY\r\n";
        QTest::newRow("checkbox") << int(NewNodeKind::Part) << 1 << "PART \"<new>\" CHECKBOX\r\nEND PART\r\n";
        QTest::newRow("combobox") << int(NewNodeKind::Part) << 2 << "PART \"<new>\" COMBOBOX\r\nEND PART\r\n";
        QTest::newRow("dropdownlist") << int(NewNodeKind::Part) << 3 << "PART \"<new>\" DROPDOWNLIST\r\nEND PART\r\n";
        QTest::newRow("edittext") << int(NewNodeKind::Part) << 4 << "PART \"<new>\" EDITTEXT\r\nEND PART\r\n";
        QTest::newRow("listbox") << int(NewNodeKind::Part) << 5 << "PART \"<new>\" LISTBOX\r\nEND PART\r\n";
        QTest::newRow("numeric") << int(NewNodeKind::Part) << 6 << "PART \"<new>\" NUMERIC\r\nEND PART\r\n";
        QTest::newRow("text") << int(NewNodeKind::Part) << 7 << "PART \"<new>\" TEXT\r\nEND PART\r\n";
    }
    void newNodeText()
    {
        QFETCH(int, kind);
        QFETCH(int, type);
        QFETCH(QString, text);
        QCOMPARE(NewNodeText(NewNodeKind(kind), type), text);
    }

    void addTakesNextSlotAndLastPlace()
    {
        TemplateDocument document;
        QVERIFY(test::loadText(document, kTemplate));
        const int highest = document.texts().highestSlot();
        TemplateNode *policy = test::findNode(document, "Wallpaper");
        TemplateNode *part = AddNode(document, policy, NewNodeKind::Part, 6);
        QVERIFY(part);
        QCOMPARE(part->key(), QStringLiteral("K%1").arg(highest + 1));
        QCOMPARE(part->kind, NodeKind::Part);
        QCOMPARE(part->image, QStringLiteral("part"));
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
        TemplateDocument document;
        QVERIFY(test::loadText(document, kTemplate));
        TemplateNode *node =
            InsertNode(document, test::findNode(document, selected), NewNodeKind::Category, InsertPosition(position));
        QVERIFY(node);
        QCOMPARE(test::childTexts(test::findNode(document, "Machine")), children);
        QCOMPARE(document.nodeText(node), QStringLiteral("CATEGORY \"<new>\"\r\nEND CATEGORY\r\n"));
    }

    void insertBesideRootDoesNothing()
    {
        TemplateDocument document;
        QVERIFY(test::loadText(document, kTemplate));
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
        TemplateDocument document;
        QVERIFY(test::loadText(document, kTemplate));
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
    }

    void deletedBranchLeavesFileAndStringTable()
    {
        TemplateDocument document;
        QVERIFY(test::loadText(document, kTemplate));
        test::ScriptedPrompter prompter;
        prompter.expect("Delete entry \"Desktop\"", Message::Icon::Exclamation, Message::Buttons::YesNo, Answer::Yes);
        QVERIFY(DeleteNode(document, test::findNode(document, "Desktop"), prompter));
        for (bool strings : {false, true}) {
            const QString written = renderTemplate(document, strings);
            for (const char *gone : {"Wallpaper", "Style", "Inner", "Deep", "\"Path\""})
                QVERIFY2(!written.contains(QLatin1String(gone)), gone);
            QVERIFY(written.contains(QStringLiteral("Proxy")));
        }
    }

    void rootAndClassesCannotBeDeletedOrDragged()
    {
        TemplateDocument document;
        QVERIFY(test::loadText(document, kTemplate));
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
        QTest::newRow("root") << "ROOT"
                              << "off";
        QTest::newRow("class") << "CLASS"
                               << "add addCategory";
        QTest::newRow("category") << "CATEGORY"
                                  << "edit remove add addCategory addPolicy insertCategory";
        QTest::newRow("policy") << "POLICY"
                                << "edit remove add addPart insertPolicy";
        QTest::newRow("part") << "PART"
                              << "edit remove insertPart";
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
        QTest::newRow("category on class") << "Network"
                                           << "User" << true;
        QTest::newRow("category on category") << "Network"
                                              << "Same key" << true;
        QTest::newRow("category into own child") << "Desktop"
                                                 << "Inner" << false;
        QTest::newRow("category on itself") << "Desktop"
                                            << "Desktop" << false;
        QTest::newRow("category on policy") << "Network"
                                            << "Wallpaper" << false;
        QTest::newRow("category on root") << "Network"
                                          << "Computer" << false;
        QTest::newRow("policy on category") << "Proxy"
                                            << "Desktop" << true;
        QTest::newRow("policy on class") << "Proxy"
                                         << "Machine" << false;
        QTest::newRow("policy on policy") << "Proxy"
                                          << "Wallpaper" << false;
        QTest::newRow("part on policy") << "Style"
                                        << "Proxy" << true;
        QTest::newRow("part on category") << "Style"
                                          << "Network" << false;
        QTest::newRow("class is never dragged") << "User"
                                                << "Machine" << false;
    }
    void dropRules()
    {
        QFETCH(QString, dragged);
        QFETCH(QString, target);
        QFETCH(bool, allowed);
        TemplateDocument document;
        QVERIFY(test::loadText(document, kTemplate));
        QCOMPARE(CanDropOn(test::findNode(document, dragged), test::findNode(document, target)), allowed);
    }

    void drop_data()
    {
        QTest::addColumn<QString>("dragged");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("message"); // empty: no message
        QTest::newRow("policy to category with another key") << "Wallpaper"
                                                             << "Network" << kKeyChanged + kCheckKeys;
        QTest::newRow("policy to category with the same key") << "Wallpaper"
                                                              << "Same key"
                                                              << "";
        QTest::newRow("policy to the other class") << "Wallpaper"
                                                   << "Start" << kClassChanged + kKeyChanged + kCheckKeys;
        QTest::newRow("category to the other class") << "Network"
                                                     << "User" << kClassChanged + kKeyChanged + kCheckKeys;
        QTest::newRow("part keeps its key") << "Style"
                                            << "Deep"
                                            << "";
        QTest::newRow("policy without own key to a category without one") << "Deep"
                                                                          << "Inner"
                                                                          << "";
    }
    void drop()
    {
        QFETCH(QString, dragged);
        QFETCH(QString, target);
        QFETCH(QString, message);
        TemplateDocument document;
        QVERIFY(test::loadText(document, kTemplate));
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
        TemplateDocument document;
        QVERIFY(test::loadText(document, kTemplate));
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
        TemplateDocument document;
        QVERIFY(test::loadText(document, kTemplate));
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

    void partTypes()
    {
        QCOMPARE(PartTypeForIndex(0), QString());
        QCOMPARE(PartTypeForIndex(8), QString());
        QCOMPARE(PartTypeForIndex(3), QStringLiteral("DROPDOWNLIST"));
    }
};

QTEST_GUILESS_MAIN(TestTreeOperations)
#include "tst_treeoperations.moc"
