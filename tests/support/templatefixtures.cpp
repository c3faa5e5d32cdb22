#include "templatefixtures.h"

#include "scriptedprompter.h"
#include "testfiles.h"

#include "document/loader.h"
#include "document/templatedocument.h"

namespace kova::test {

bool loadText(TemplateDocument &document, const QByteArray &text)
{
    ScriptedPrompter prompter;
    return loadTemplateBytes(document, crlf(text), prompter).loaded();
}

TemplateNode *findNode(const TemplateDocument &document, const QString &text)
{
    TemplateNode *found = nullptr;
    if (document.root())
        document.root()->forEach([&](TemplateNode *n) {
            if (!found && n->text == text)
                found = n;
        });
    return found;
}

QStringList childTexts(const TemplateNode *node)
{
    QStringList texts;
    for (int i = 0; i < node->childCount(); ++i)
        texts.append(node->child(i)->text);
    return texts;
}

} // namespace kova::test
