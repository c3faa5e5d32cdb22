// The registry-export conversion, from the file on disk to a template the loader reads: any bytes
// either convert or fail with a message, never crash. The first byte picks the answer to the
// Policies question.
#include "document/loader.h"
#include "document/prompter.h"
#include "document/tempfiles.h"
#include "document/templatedocument.h"
#include "registry/core/regconversion.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

namespace {

class FixedPrompter : public kova::Prompter
{
public:
    explicit FixedPrompter(kova::Answer answer) : m_answer(answer) {}
    kova::Answer ask(const kova::Message &m) override
    {
        return m.buttons == kova::Message::Buttons::Ok ? kova::Answer::Ok : m_answer;
    }

private:
    kova::Answer m_answer;
};

QTemporaryDir *workDir = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    workDir = new QTemporaryDir();
    // Keep the scratch files of the runs out of the shared temporary folder.
    qputenv("TMPDIR", workDir->path().toLocal8Bit());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString input = workDir->filePath(QStringLiteral("input.reg"));
    {
        QFile f(input);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();
        f.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    FixedPrompter prompter(size > 0 && (data[0] & 1) ? kova::Answer::Yes : kova::Answer::No);
    kova::TempFiles temp;
    QString path = input;
    int added = 0;
    int removed = 0;
    kova::RegConversionHooks hooks;
    hooks.addRecentFile = [&](const QString &) { ++added; };
    hooks.removeRecentFile = [&](const QString &) { ++removed; };
    const bool converted = kova::ConvertRegFile(path, prompter, temp, hooks);
    if (converted != (added == 1) || converted == (removed == 1) || (converted == (path == input)))
        std::abort(); // exactly one of the two list updates, and the path changes only on success
    if (converted) {
        kova::TemplateDocument document;
        kova::Vullen(document, path, prompter);
    }
    temp.removeAll();
    return 0;
}
