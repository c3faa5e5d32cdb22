// The registry-export conversion, in memory, and the loader on what it gives: any bytes either
// convert into a template that loads or fail with one message, never crash. The first byte picks the
// answer to the Policies question. The file entry around it adds only reading the export and writing
// the result, which would slow every run to a few a second.
#include "document/loader.h"
#include "document/prompter.h"
#include "document/templatedocument.h"
#include "registry/core/regconversion.h"

#include <cstdint>
#include <cstdlib>

namespace {

class FixedPrompter : public kova::Prompter
{
public:
    explicit FixedPrompter(kova::Answer answer) : m_answer(answer) {}
    kova::Answer ask(const kova::Message &m) override
    {
        if (m.buttons == kova::Message::Buttons::Ok)
            ++told;
        return m.buttons == kova::Message::Buttons::Ok ? kova::Answer::Ok : m_answer;
    }
    int told = 0;

private:
    kova::Answer m_answer;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 1 << 20)
        return 0;
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    FixedPrompter prompter(size > 0 && (data[0] & 1) ? kova::Answer::Yes : kova::Answer::No);
    const std::optional<QByteArray> converted = kova::ConvertRegExport(bytes, prompter);
    if (!converted) {
        if (prompter.told == 0)
            std::abort(); // a failure always says why
        return 0;
    }
    kova::TemplateDocument document;
    kova::loadTemplateBytes(document, *converted, prompter, kova::LoadOptions{});
    return 0;
}
