#include "document/encoding.h"
#include "document/textscan.h"

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
