#pragma once

#include "document/prompter.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace kova {
class TemplateDocument;
class TemplateNode;
} // namespace kova

namespace kova::test {

// A small template that loads, and one that fails on its part type.
inline const QByteArray kGood = "CLASS MACHINE\nCATEGORY \"Desktop\"\nKEYNAME \"Software\\X\"\nPOLICY \"Icons\"\n"
                                "VALUENAME \"Hide\"\nEND POLICY\nEND CATEGORY\n";
inline const QByteArray kBad = "CLASS MACHINE\nCATEGORY \"Desktop\"\nPOLICY \"Icons\"\nPART \"x\" BOGUS\nEND PART\n"
                               "END POLICY\nEND CATEGORY\n";
// The sample template for tests that need "some template": both classes, a key on each category,
// policies with and without a part. Written back it gives 19 lines; policy "Hide icons" on line 4.
inline const QByteArray kSample = R"(CLASS MACHINE
CATEGORY "Desktop"
KEYNAME "Software\Kova\Desktop"
POLICY "Hide icons"
VALUENAME "HideIcons"
END POLICY
POLICY "Wallpaper"
PART "Wallpaper name" EDITTEXT
VALUENAME "Wallpaper"
END PART
END POLICY
END CATEGORY
CLASS USER
CATEGORY "Printers"
KEYNAME "Software\Kova\Printers"
POLICY "Default policy"
VALUENAME "Default"
END POLICY
END CATEGORY
)";
// The question asked before unsaved changes are left.
inline const Message kSaveChanges{QStringLiteral("Save changes in current file?"), Message::Icon::Exclamation,
                                  Message::Buttons::YesNoCancel};

// Loads ADM text written with \n line ends (made CR LF) into document; any message fails the test.
bool loadText(TemplateDocument &document, const QByteArray &text);
// The first node, depth first, whose tree text is text; nullptr when there is none.
TemplateNode *findNode(const TemplateDocument &document, const QString &text);
// The tree texts of a node's children, in order.
QStringList childTexts(const TemplateNode *node);

} // namespace kova::test
