#pragma once

#include "appfixture.h"
#include "templatefixtures.h"
#include "testfiles.h"

#include "editors/editorpage.h"
#include "editors/editorpages.h"
#include "editors/pagewidgets.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTest>

namespace kova::test {

// A template with a node of every kind the pages edit, in both classes; the parts under "Settings"
// inherit the category's key.
inline const QByteArray kPagesTemplate = R"(CLASS MACHINE
CATEGORY "Desktop"
KEYNAME "Software\Desktop"
POLICY "Hide clock"
KEYNAME "Software\Policies\Clock"
VALUENAME "HideClock"
VALUEON NUMERIC 1
VALUEOFF NUMERIC 0
ACTIONLISTON
KEYNAME "Software\Policies\Clock\Extra"
VALUENAME "Mode"
VALUE "quiet"
END ACTIONLISTON
END POLICY
POLICY "Plain"
VALUENAME ""
END POLICY
END CATEGORY
CATEGORY "Apps"
KEYNAME "Software\Apps"
POLICY "Settings"
PART "Colour" COMBOBOX
VALUENAME "Col"
SUGGESTIONS
"red"
"blue"
END SUGGESTIONS
END PART
PART "Style" DROPDOWNLIST
VALUENAME "Style"
ITEMLIST
NAME "Centered"
VALUE NUMERIC 0 DEFAULT
NAME "Tiled"
VALUE NUMERIC 1
ACTIONLIST
KEYNAME "Software\Apps\Tiles"
VALUENAME "Count"
VALUE NUMERIC 4
END ACTIONLIST
END ITEMLIST
END PART
PART "Servers" LISTBOX
END PART
PART "Timeout" NUMERIC
VALUENAME "Secs"
MIN 1
MAX 600
DEFAULT 5
END PART
END POLICY
END CATEGORY
CLASS USER
CATEGORY "Start"
END CATEGORY
)";

// A real main window on kPagesTemplate, activated so that the keys reach it.
struct PageFixture : AppFixture
{
    MainWindow &w;
    bool active = false; // the window took the keyboard focus

    PageFixture() : w(start(file(QStringLiteral("pages.adm"), kPagesTemplate)))
    {
        w.document().setModified(false);
        w.activateWindow();
        active = QTest::qWaitForWindowActive(&w);
    }

    TemplateNode *node(const char *caption) const { return findNode(w.document(), QString::fromUtf8(caption)); }
    // Selects the node in the tree and opens its page as a double click would.
    EditorPage *edit(const char *caption)
    {
        w.treePanel()->selectNode(node(caption));
        w.treePanel()->editSelected();
        return w.editors().isOpen() ? w.editors().page(w.editors().session().kind()) : nullptr;
    }
    template<typename T = QWidget>
    T *field(EditorPage *page, const char *name) const
    {
        return page->findChild<T *>(QString::fromLatin1(name));
    }
    QString slot(const char *caption) const { return w.document().nodeText(node(caption)); }
};

// Said when Ok, Cancel or a list command comes while an entry editor waits for its update.
inline const Message kPressUpdate{QStringLiteral("Press the update or no update button first."), Message::Icon::None,
                                  Message::Buttons::Ok};

} // namespace kova::test
