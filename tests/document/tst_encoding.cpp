#include "document/encoding.h"
#include "document/textscan.h"

#include <QSet>
#include <QTest>

#include <algorithm>

using namespace kova;

class TestEncoding : public QObject
{
    Q_OBJECT

private slots:
    // Plain ASCII is narrowed up to the first character beyond it, wherever that stands in a group
    // of four; the bytes before it are the characters'. The text fits Latin-1 unless a character
    // beyond U+00FF stands anywhere in it.
    void asciiNarrowedUpToTheFirstOtherCharacter_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("ascii");
        QTest::newRow("empty") << QString() << 0;
        QTest::newRow("all ASCII, no whole group") << QStringLiteral("abc") << 3;
        QTest::newRow("all ASCII, groups and a tail") << QStringLiteral("0123456789\x7f") << 11;
        for (int at = 0; at < 9; ++at) {
            for (const char16_t other : {char16_t(0x80), char16_t(0xFF), char16_t(0x100), char16_t(0x20AC)}) {
                QString text = QStringLiteral("ABCDEFGHIJ");
                text[at] = QChar(other);
                QTest::addRow("U+%04X at %d", unsigned(other), at) << text << at;
            }
        }
    }
    void asciiNarrowedUpToTheFirstOtherCharacter()
    {
        QFETCH(QString, text);
        QFETCH(int, ascii);
        QByteArray out(text.size() + 1, '#');
        QCOMPARE(narrowAscii(reinterpret_cast<const char16_t *>(text.utf16()), text.size(), out.data()), ascii);
        QCOMPARE(out.left(ascii), text.left(ascii).toLatin1());
        QCOMPARE(fitsLatin1(text), std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() <= 0xFF; }));
    }

    void everyByteRoundTrips()
    {
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all.append(char(b));
        TextEncoding enc = TextEncoding::Utf16BE;
        const QString text = decodeText(all, &enc);
        QCOMPARE(enc, TextEncoding::Windows1252);
        QCOMPARE(text.size(), 256);
        QCOMPARE(text.at(0x80), QChar(0x20AC));
        QCOMPARE(text.at(0x81), QChar(0x81)); // undefined in the code page, kept as itself
        QCOMPARE(text.at(0x9F), QChar(0x178));
        QVERIFY(canEncodeWindows1252(text));
        QCOMPARE(encodeText(text, enc), all);
        QCOMPARE(enc, TextEncoding::Windows1252);
    }

    void byteOrderMarks_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<TextEncoding>("encoding");
        QTest::addColumn<QString>("text");
        QTest::newRow("utf-16le") << QByteArray("\xFF\xFE"
                                                "A\0\xAC\x20",
                                                6)
                                  << TextEncoding::Utf16LE << QStringLiteral("A\u20AC");
        QTest::newRow("utf-16be") << QByteArray("\xFE\xFF\0A\x20\xAC", 6) << TextEncoding::Utf16BE
                                  << QStringLiteral("A\u20AC");
        QTest::newRow("utf-8") << QByteArray("\xEF\xBB\xBF"
                                             "A\xE2\x82\xAC")
                               << TextEncoding::Utf8 << QStringLiteral("A\u20AC");
        QTest::newRow("utf-8 without mark")
            << QByteArray("A\xE2\x82\xAC") << TextEncoding::Utf8WithoutMark << QStringLiteral("A\u20AC");
        QTest::newRow("utf-8 without mark: Russian and Chinese")
            << QByteArray("\xD0\x9F\xD1\x80\xD0\xB8 \xE4\xB8\xAD\xE6\x96\x87") << TextEncoding::Utf8WithoutMark
            << QStringLiteral("\u041F\u0440\u0438 \u4E2D\u6587");
        QTest::newRow("utf-8 without mark: four-byte sequence")
            << QByteArray("x\xF0\x9F\x98\x80") << TextEncoding::Utf8WithoutMark << QStringLiteral("x\U0001F600");
        QTest::newRow("plain ascii is 8-bit")
            << QByteArray("CLASS USER") << TextEncoding::Windows1252 << QStringLiteral("CLASS USER");
        QTest::newRow("lone lead byte is 8-bit") << QByteArray("Caf\xC3 \xE2\x82\xAC") << TextEncoding::Windows1252
                                                 << QStringLiteral("Caf\u00C3 \u00E2\u201A\u00AC");
        QTest::newRow("sequence cut at the end is 8-bit") << QByteArray("\xC3\xA9\xE2\x82") << TextEncoding::Windows1252
                                                          << QStringLiteral("\u00C3\u00A9\u00E2\u201A");
        QTest::newRow("overlong form is 8-bit")
            << QByteArray("\xC0\xAF") << TextEncoding::Windows1252 << QStringLiteral("\u00C0\u00AF");
        QTest::newRow("encoded surrogate is 8-bit")
            << QByteArray("\xED\xA0\x80") << TextEncoding::Windows1252 << QStringLiteral("\u00ED\u00A0\u20AC");
        QTest::newRow("past U+10FFFF is 8-bit") << QByteArray("\xF4\x90\x80\x80") << TextEncoding::Windows1252
                                                << QStringLiteral("\u00F4\u0090\u20AC\u20AC");
    }
    void byteOrderMarks()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(TextEncoding, encoding);
        QFETCH(QString, text);
        TextEncoding found = TextEncoding::Windows1252;
        QCOMPARE(decodeText(bytes, &found), text);
        QCOMPARE(found, encoding);
        QCOMPARE(encodeText(text, found), bytes); // written back as it was read, mark included
    }

    // A large file is decoded a few megabytes at a time: pieces never cut a character, whatever
    // falls on their edges, and the bytes passed are told in order up to the end.
    void largeFilesDecodeInPieces_data()
    {
        QTest::addColumn<QByteArray>("mark");
        QTest::addColumn<QByteArray>("pad");  // one character, put 0 to 3 times before the units
        QTest::addColumn<QByteArray>("unit"); // repeated past two piece edges
        QTest::addColumn<QByteArray>("tail");
        QTest::newRow("8-bit") << QByteArray() << QByteArray("x") << QByteArray("Caf\xE9 \x80\x9F\x81\r\n")
                               << QByteArray();
        QTest::newRow("utf-8 without mark")
            << QByteArray() << QByteArray("x") << QByteArray("x\xE2\x82\xAC\xF0\x9F\x98\x80\xC3\xA9") << QByteArray();
        QTest::newRow("utf-8") << QByteArray("\xEF\xBB\xBF") << QByteArray("x")
                               << QByteArray("\xE4\xB8\xAD\xF0\x9F\x98\x80") << QByteArray();
        QTest::newRow("utf-16le, pairs and an odd last byte")
            << QByteArray("\xFF\xFE") << QByteArray("x\0", 2) << QByteArray("A\0\x3D\xD8\x00\xDE\xAC\x20", 8)
            << QByteArray("Z");
        QTest::newRow("utf-16be") << QByteArray("\xFE\xFF") << QByteArray("\0x", 2)
                                  << QByteArray("\0A\xD8\x3D\xDE\x00", 6) << QByteArray();
    }
    void largeFilesDecodeInPieces()
    {
        QFETCH(QByteArray, mark);
        QFETCH(QByteArray, pad);
        QFETCH(QByteArray, unit);
        QFETCH(QByteArray, tail);
        struct Recorder : PassedBytes
        {
            QList<qsizetype> counts;
            void passed(qsizetype count) override { counts.append(count); }
        };
        // What the file should read as, from its parts decoded one at a time, each far smaller than a piece.
        const auto part = [&](const QByteArray &bytes, TextEncoding *found = nullptr) {
            return bytes.isEmpty() ? QString() : decodeText(mark + bytes, found);
        };
        TextEncoding whole = TextEncoding::Windows1251;
        const QString unitText = part(unit, &whole);
        const int count = int((qsizetype(9) << 20) / unit.size());
        for (int padding = 0; padding < 4; ++padding) {
            const QByteArray bytes = mark + pad.repeated(padding) + unit.repeated(count) + tail;
            // The tail goes with the last unit: a lone odd byte after whole characters reads otherwise than
            // one on its own.
            const QString expected = part(pad).repeated(padding) + unitText.repeated(count - 1) + part(unit + tail);
            Recorder recorder;
            TextEncoding pieces = TextEncoding::Windows1251;
            QString text(decodedSizeLimit(bytes), Qt::Uninitialized);
            text.truncate(decodeTextTo(bytes, reinterpret_cast<char16_t *>(text.data()), &pieces, recorder));
            QCOMPARE(pieces, whole);
            QVERIFY2(text == expected, qPrintable(QStringLiteral("padding %1").arg(padding)));
            QCOMPARE(recorder.counts.size(), 3);
            QVERIFY(std::is_sorted(recorder.counts.begin(), recorder.counts.end()));
            QCOMPARE(recorder.counts.back(), bytes.size());
        }
    }

    // Every byte value read in a single-byte code page and written back gives the same bytes, and
    // the characters read are distinct and the code page's own.
    void singleByteCodePagesRoundTripEveryByte_data()
    {
        QTest::addColumn<TextEncoding>("encoding");
        QTest::addColumn<int>("byte");
        QTest::addColumn<QString>("character");
        const std::pair<const char *, std::pair<int, char16_t>> known[] = {
            {"cp1251", {0xC0, 0x0410}}, {"cp1250", {0x8A, 0x0160}}, {"cp1253", {0xC1, 0x0391}},
            {"cp1254", {0xD0, 0x011E}}, {"cp1255", {0xE0, 0x05D0}}, {"cp1256", {0xC7, 0x0627}},
            {"cp1257", {0xC0, 0x0104}}, {"cp1258", {0xC3, 0x0102}}, {"cp874", {0xA1, 0x0E01}},
        };
        for (const auto &[name, mapping] : known) {
            const std::optional<TextEncoding> encoding = encodingFromName(QString::fromLatin1(name));
            if (!encoding)
                continue; // not convertible on this machine
            QTest::newRow(name) << *encoding << mapping.first << QString(QChar(mapping.second));
        }
    }
    void singleByteCodePagesRoundTripEveryByte()
    {
        QFETCH(TextEncoding, encoding);
        QFETCH(int, byte);
        QFETCH(QString, character);
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all.append(char(b));
        const QString text = decodeTextAs(all, encoding);
        QCOMPARE(text.size(), 256);
        QCOMPARE(QString(text.at(byte)), character);
        QCOMPARE(QSet<QChar>(text.begin(), text.end()).size(), 256);
        QCOMPARE(firstUnencodable(text, encoding), -1);
        TextEncoding written = encoding;
        QCOMPARE(encodeText(text, written), all);
        QCOMPARE(written, encoding); // no mark, no fallback
    }

    void multiByteCodePages_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("cp932") << "Shift-JIS" << QByteArray("A\x93\xfa\x96\x7b\x8c\xea") << "A\u65E5\u672C\u8A9E";
        QTest::newRow("cp936") << "GBK" << QByteArray("\xd6\xd0\xce\xc4") << "\u4E2D\u6587";
        QTest::newRow("cp950") << "big5" << QByteArray("\xa4\xa4\xa4\xe5") << "\u4E2D\u6587";
        QTest::newRow("cp949") << "CP949" << QByteArray("\xc7\xd1\xb1\xb9\xbe\xee") << "\uD55C\uAD6D\uC5B4";
    }
    void multiByteCodePages()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        const std::optional<TextEncoding> encoding = encodingFromName(name);
        if (!encoding)
            QSKIP("not convertible on this machine");
        QCOMPARE(decodeTextAs(bytes, *encoding), text);
        TextEncoding written = *encoding;
        QCOMPARE(encodeText(text, written), bytes);
        QCOMPARE(firstUnencodable(text, *encoding), -1);
    }

    void unencodable_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("position");
        const auto row = [](const char *name, const QString &text, int position) {
            QTest::newRow(name) << QString(name) << text << position;
        };
        row("cp1251", QStringLiteral("ab\u0416\u4E2D"), 3);
        row("cp932", QStringLiteral("a\u65E5\u0E01"), 2);
        row("gbk", QStringLiteral("a\u4E2D"), -1);
        row("windows-1252", QStringLiteral("\u00E9\u0416"), 1);
        row("utf-8", QStringLiteral("\u0416\U0001F600"), -1);
    }
    void unencodable()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(int, position);
        const std::optional<TextEncoding> encoding = encodingFromName(name);
        if (!encoding)
            QSKIP("not convertible on this machine");
        QCOMPARE(firstUnencodable(text, *encoding), qsizetype(position));
    }

    void namesRoundTrip()
    {
        const std::vector<TextEncoding> all = availableEncodings();
        QVERIFY(all.size() >= 5);
        QCOMPARE(all.front(), TextEncoding::Windows1252);
        for (TextEncoding encoding : all) {
            QCOMPARE(encodingFromName(encodingName(encoding).toUpper()), std::optional<TextEncoding>(encoding));
            QVERIFY(!encodingLabel(encoding).isEmpty());
        }
        QVERIFY(!encodingFromName(u"klingon"));
    }

    void unwritableCharacterSwitchesToUtf16()
    {
        TextEncoding enc = TextEncoding::Windows1252;
        const QByteArray bytes = encodeText(QStringLiteral("\u65E5"), enc);
        QCOMPARE(enc, TextEncoding::Utf16LE);
        QCOMPARE(bytes, QByteArray("\xFF\xFE\xE5\x65", 4));
    }

    void lineEnds_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("crlf") << "a\r\nb\r\n" << QStringList{"a", "b"};
        QTest::newRow("lf and lone cr") << "a\nb\rc" << QStringList{"a", "b", "c"};
        QTest::newRow("empty lines kept") << "a\r\n\r\n\nb" << QStringList{"a", "", "", "b"};
        QTest::newRow("empty text") << "" << QStringList{};
        QTest::newRow("cr cr lf") << "a\r\r\nb" << QStringList{"a", "", "b"};
        // Lines are searched four characters at a time: every line end in every place of such a group,
        // next to characters whose bytes are those of CR and LF.
        QString text;
        QStringList lines;
        const QString ends[] = {QStringLiteral("\r\n"), QStringLiteral("\n"), QStringLiteral("\r")};
        for (int length = 0; length < 12; ++length) {
            QString line;
            for (int k = 0; k < length; ++k)
                line += k % 3 == 0 ? QChar(0x0D0A) : k % 3 == 1 ? QChar(0x0A0D) : QChar(u'x');
            text += line + ends[length % 3];
            lines.append(line);
        }
        QTest::newRow("long lines") << text << lines;
    }
    void lineEnds()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, lines);
        QStringList got;
        for (QStringView v : splitTextLines(text))
            got.append(v.toString());
        QCOMPARE(got, lines);
    }
};

QTEST_APPLESS_MAIN(TestEncoding)
#include "tst_encoding.moc"
