// Loader and writer under libFuzzer: any bytes load or fail, and whatever loaded writes and reads
// back, without a crash, hang or sanitizer report. Reading back is not required to give the same
// tree: odd input such as keywords among SUGGESTIONS, or a name cut short by a comment ("abc;...),
// is written as the loader rebuilt it and reads differently the second time. The corpus tests
// hold real templates to the stricter load-write-load-write identity.
#include "document/encoding.h"
#include "document/loader.h"
#include "document/prompter.h"
#include "document/templatedocument.h"
#include "document/writer.h"

#include <QByteArray>

namespace {

// Answers every question with Yes, so conditional blocks are removed and the rest is exercised.
class YesPrompter : public kova::Prompter
{
public:
    kova::Answer ask(const kova::Message &m) override
    {
        return m.buttons == kova::Message::Buttons::Ok ? kova::Answer::Ok : kova::Answer::Yes;
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 1 << 20)
        return 0;
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    YesPrompter prompter;
    const kova::LoadOptions options{size % 3 == 0, size % 2 == 0};
    kova::TemplateDocument doc;
    if (!kova::loadTemplateBytes(doc, bytes, prompter, options).loaded())
        return 0;
    for (bool strings : {false, true}) {
        kova::TextEncoding encoding = doc.encoding();
        const QByteArray written = kova::encodeText(kova::renderTemplate(doc, strings), encoding);
        kova::TemplateDocument again;
        kova::loadTemplateBytes(again, written, prompter, options);
    }
    return 0;
}
