// The registry store's file parser: any bytes either fail with a line number or parse into contents
// that render and parse back to the same text.
#include "registry/core/registryfile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    kova::RegistryFileContents contents;
    if (const auto error = kova::parseRegistryFile(bytes, contents)) {
        if (error->line < 1 || error->reason.isEmpty())
            std::abort();
        return 0;
    }
    const QByteArray rendered = kova::renderRegistryFile(contents);
    kova::RegistryFileContents again;
    if (kova::parseRegistryFile(rendered, again))
        std::abort(); // what we write must read back
    if (kova::renderRegistryFile(again) != rendered)
        std::abort(); // and mean the same
    if (again.keys().size() != contents.keys().size())
        std::abort();
    return 0;
}
