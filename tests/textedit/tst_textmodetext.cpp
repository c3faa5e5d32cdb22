#include "textedit/textmodetext.h"

#include <QTest>

using namespace kova;

class TestTextModeText : public QObject
{
    Q_OBJECT

private slots:
    void trimSpaces_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("trimmed");
        QTest::newRow("none") << "abc"
                              << "abc";
        QTest::newRow("both ends") << "  a b  "
                                   << "a b";
        QTest::newRow("only blanks") << "   "
                                     << "";
        QTest::newRow("tabs stay") << "\t a \t"
                                   << "\t a \t";
    }
    void trimSpaces()
    {
        QFETCH(QString, text);
        QFETCH(QString, trimmed);
        QCOMPARE(kova::trimSpaces(text), trimmed);
    }

    void numericValue_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("numeric");
        QTest::addColumn<double>("value");
        QTest::newRow("integer") << "12" << true << 12.0;
        QTest::newRow("blanks") << "  7 " << true << 7.0;
        QTest::newRow("zero") << "0" << true << 0.0;
        QTest::newRow("negative") << "-4" << true << -4.0;
        QTest::newRow("fraction") << "2.5" << true << 2.5;
        QTest::newRow("exponent") << "1e2" << true << 100.0;
        QTest::newRow("letters") << "abc" << false << 0.0;
        QTest::newRow("digits and letters") << "12a" << false << 0.0;
        QTest::newRow("empty") << "" << false << 0.0;
        QTest::newRow("blank") << "  " << false << 0.0;
        QTest::newRow("inf") << "inf" << false << 0.0;
        QTest::newRow("hex") << "0x10" << false << 0.0;
        QTest::newRow("lone sign") << "-" << false << 0.0;
    }
    void numericValue()
    {
        QFETCH(QString, text);
        QFETCH(bool, numeric);
        QFETCH(double, value);
        const std::optional<double> result = kova::numericValue(text);
        QCOMPARE(result.has_value(), numeric);
        if (numeric)
            QCOMPARE(*result, value);
    }

    void positionAfterLineEnds_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("lineEnds");
        QTest::addColumn<int>("position");
        QTest::newRow("none passed: first character") << "ab\ncd" << 0 << 0;
        QTest::newRow("one") << "ab\ncd" << 1 << 3;
        QTest::newRow("after a final line end") << "ab\n" << 1 << 3;
        QTest::newRow("too few") << "ab\ncd" << 2 << -1;
        QTest::newRow("empty text") << "" << 0 << 0;
        QTest::newRow("empty lines") << "\n\n\n" << 2 << 2;
        QTest::newRow("negative") << "ab" << -1 << -1;
    }
    void positionAfterLineEnds()
    {
        QFETCH(QString, text);
        QFETCH(int, lineEnds);
        QFETCH(int, position);
        QCOMPARE(kova::positionAfterLineEnds(text, lineEnds), position);
    }

    void fileAndEditorText()
    {
        QCOMPARE(editorTextFromFile(QStringLiteral("a\r\nb\nc\rd\r\n")), QStringLiteral("a\nb\nc\nd\n"));
        QCOMPARE(fileTextFromEditor(u"a\nb\n"), QStringLiteral("a\r\nb\r\n"));
        const QString file = QStringLiteral("CLASS USER\r\n\tCATEGORY \"A\"\r\n\tEND CATEGORY\r\n");
        QCOMPARE(fileTextFromEditor(editorTextFromFile(file)), file);
    }
};

QTEST_GUILESS_MAIN(TestTextModeText)
#include "tst_textmodetext.moc"
