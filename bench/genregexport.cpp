// Writes a large registry export for the conversion benchmark.
//   genregexport OUTPUT SIZE_MB ansi|utf16 [odd-quote]
// ansi: 8-bit "REGEDIT4" text; utf16: UTF-16LE with a byte-order mark, "Windows Registry Editor Version
// 5.00", as regedit writes it. Keys of both hives with string, DWORD, large DWORD, binary and
// continued hex(2) values, in the proportions real exports have. odd-quote: the first value holds one
// unbalanced escaped quote, so the conversion joins the rest of the file to it looking for the closing
// quote (and fails at the end).
#include "document/encoding.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 4 || args.size() > 5 ||
        (args.at(3) != QLatin1String("ansi") && args.at(3) != QLatin1String("utf16")) ||
        (args.size() == 5 && args.at(4) != QLatin1String("odd-quote"))) {
        std::fputs("usage: genregexport OUTPUT SIZE_MB ansi|utf16 [odd-quote]\n", stderr);
        return 64;
    }
    const bool oddQuote = args.size() == 5;
    const bool utf16 = args.at(3) == QLatin1String("utf16");
    const qint64 target = args.at(2).toLongLong() * 1024 * 1024;
    QFile out(args.at(1));
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        std::fprintf(stderr, "%s\n", qPrintable(out.errorString()));
        return 1;
    }
    auto write = [&](const QString &text) {
        const QByteArray bytes = utf16 ? QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2)
                                       : kova::toWindows1252(text);
        out.write(bytes);
    };
    if (utf16)
        out.write("\xFF\xFE", 2);
    write(utf16 ? QStringLiteral("Windows Registry Editor Version 5.00\r\n\r\n") : QStringLiteral("REGEDIT4\r\n\r\n"));
    QString chunk;
    for (int key = 0; out.size() < target; ++key) {
        const QString hive = key % 3 == 0 ? QStringLiteral("HKEY_CURRENT_USER") : QStringLiteral("HKEY_LOCAL_MACHINE");
        chunk += QStringLiteral("[%1\\Software\\Bench Vendor\\Product %2\\Settings]\r\n").arg(hive).arg(key);
        if (key == 0 && oddQuote)
            chunk += QStringLiteral("\"Cmd\"=\"say \\\"hi\"\r\n");
        chunk += QStringLiteral("@=\"Product %1\"\r\n").arg(key);
        chunk += QStringLiteral("\"InstallDir\"=\"C:\\\\Program Files\\\\Bench Vendor\\\\Product %1\"\r\n").arg(key);
        chunk += QStringLiteral("\"Caf\u00e9 Name\"=\"Gr\u00fc\u00dfe \\\"quoted\\\" text\"\r\n");
        chunk += QStringLiteral("\"Count\"=dword:%1\r\n").arg(key % 10000, 8, 16, QLatin1Char('0'));
        chunk += QStringLiteral("\"Limit\"=dword:00012345\r\n");
        chunk += QStringLiteral("\"Blob\"=hex:01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10\r\n");
        chunk += QStringLiteral("\"Path\"=hex(2):25,00,53,00,79,00,73,00,74,00,65,00,6d,00,52,00,6f,00,6f,00,74,\\\r\n"
                                "  00,25,00,5c,00,73,00,79,00,73,00,74,00,65,00,6d,00,33,00,32,00,00,00\r\n");
        chunk += QStringLiteral("\"Removed\"=-\r\n\r\n");
        if (chunk.size() > (1 << 20)) {
            write(chunk);
            chunk.clear();
        }
    }
    write(chunk);
    return out.error() == QFileDevice::NoError ? 0 : 1;
}
