#include "helpoption.h"

#include "commandline.h"
#include "programinfo.h"

namespace kova {

std::optional<QString> informationRequest(int argc, const char *const argv[])
{
    if (argc != 2)
        return std::nullopt;
    const QString option = QString::fromLocal8Bit(argv[1]);
    if (option == u"--version")
        return QStringLiteral("kova ") + programVersion() + u'\n';
    if (option != u"--help" && option != u"-h")
        return std::nullopt;
    return editorUsage() +
           QStringLiteral(
               "\n"
               "Opens FILE (an ADM template, or a registry export, *.reg, as a new template) in the editor;\n"
               "without FILE the editor starts empty. --registry DIR keeps the program's registry store\n"
               "(system.reg and user.reg in the Wine format) in DIR.\n"
               "Exit status: 0 closed normally, 1 another copy is running or no display, 2 a fatal fault in the "
               "template,\n"
               "64 bad usage. See kova(1).\n");
}

} // namespace kova
