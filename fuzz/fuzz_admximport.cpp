// The ADMX and ADML reader under libFuzzer: any bytes are read or refused with a message, and what is
// read becomes a template that loads and exports to ADMX again, without a crash, hang or sanitizer
// report. The input holds the ADMX, a NUL byte and the ADML (without a NUL, both are the input).
#include "admx/admxexport.h"
#include "admx/admximport.h"
#include "document/loader.h"
#include "document/prompter.h"
#include "document/templatedocument.h"

#include <QByteArray>

namespace {

class OkPrompter : public kova::Prompter
{
public:
    kova::Answer ask(const kova::Message &) override { return kova::Answer::Ok; }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 1 << 20)
        return 0;
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const qsizetype nul = bytes.indexOf('\0');
    const QByteArray admx = nul < 0 ? bytes : bytes.first(nul);
    const QByteArray adml = nul < 0 ? bytes : bytes.mid(nul + 1);
    const kova::admx::ImportResult imported = kova::admx::importAdmxBytes(admx, adml);
    if (!imported.ok)
        return 0;
    OkPrompter prompter;
    kova::LoadOptions options;
    options.newerStatements = true;
    kova::TemplateDocument doc;
    if (kova::loadTemplateBytes(doc, imported.adm, prompter, options).loaded())
        kova::admx::exportTemplate(doc, kova::admx::defaultOptions(QStringLiteral("fuzz.adm")));
    return 0;
}
