#include "document/bulkmemory.h"
#include "document/nodepool.h"
#include "document/poisoning.h"
#include "document/templatenode.h"

#include <QRandomGenerator>
#include <QTest>

#include <algorithm>
#include <cstring>
#include <memory>
#include <numeric>

using namespace kova;

class TestBulkMemory : public QObject
{
    Q_OBJECT

private slots:
    // Sizes on both sides of the point where buffers are mapped on their own, and ones that are no
    // multiple of a page: every unit can be written and read back, and growing keeps the contents.
    void buffersHoldWhatIsWritten_data()
    {
        QTest::addColumn<qsizetype>("units");
        for (const qsizetype n : {qsizetype(1), qsizetype(4095), qsizetype(1) << 19, (qsizetype(1) << 19) + 1,
                                  qsizetype(1) << 20, (qsizetype(3) << 20) + 7})
            QTest::addRow("%lld units", qlonglong(n)) << n;
    }

    void buffersHoldWhatIsWritten()
    {
        QFETCH(qsizetype, units);
        BulkVector<char16_t> buffer(static_cast<size_t>(units));
        std::iota(buffer.begin(), buffer.end(), char16_t(1));
        BulkVector<char16_t> other(size_t(units), u'x'); // a second buffer must not overlap the first
        QCOMPARE(buffer.front(), char16_t(1));
        QCOMPARE(buffer.back(), char16_t(units));
        buffer.resize(size_t(units) * 2 + 3);
        QCOMPARE(buffer[size_t(units) - 1], char16_t(units));
        QCOMPARE(buffer[size_t(units) / 2], char16_t(units / 2 + 1));
        QVERIFY(std::all_of(other.begin(), other.end(), [](char16_t c) { return c == u'x'; }));
    }

    // Giving back the front of a buffer, from the heap or mapped, in steps or at once, leaves every
    // unit behind the part given back as it was, and the buffer can still be written there.
    void frontGivenBackKeepsTheRest_data()
    {
        QTest::addColumn<size_t>("units");
        QTest::addColumn<QList<size_t>>("steps"); // units given back so far, growing
        QTest::newRow("heap") << size_t(1000) << QList<size_t>{10, 999};
        QTest::newRow("mapped, less than a huge page") << (size_t(3) << 20) << QList<size_t>{(size_t(1) << 20) - 1};
        QTest::newRow("mapped, in steps")
            << (size_t(5) << 20) + 3
            << QList<size_t>{size_t(1) << 20, (size_t(1) << 20) + 1, size_t(3) << 20, (size_t(5) << 20) + 2};
    }
    void frontGivenBackKeepsTheRest()
    {
        QFETCH(size_t, units);
        QFETCH(QList<size_t>, steps);
        BulkVector<char16_t> buffer(units);
        std::iota(buffer.begin(), buffer.end(), char16_t(1));
        for (const size_t done : steps) {
            releaseBulkFront(buffer.data(), buffer.capacity() * sizeof(char16_t), done * sizeof(char16_t));
            size_t k = done;
            while (k < units && buffer[k] == char16_t(k + 1))
                ++k;
            QCOMPARE(k, units);
        }
        buffer.back() = u'z';
        QCOMPARE(buffer.back(), u'z');
    }

    // Growing a buffer of characters leaves new units as they are, so large buffers are not written
    // twice; values given explicitly are still written.
    void explicitValuesAreWritten()
    {
        BulkVector<int> numbers(5, 7);
        QCOMPARE(std::accumulate(numbers.begin(), numbers.end(), 0), 35);
        numbers.resize(8, -1);
        QCOMPARE(numbers.back(), -1);
        numbers.emplace_back(42);
        QCOMPARE(numbers.back(), 42);
    }

    // Buffers are taken and given back many times over a session; none may be lost or reused while
    // still in use.
    void manyBuffersInTurn()
    {
        std::vector<BulkVector<char>> kept;
        for (int round = 0; round < 40; ++round) {
            BulkVector<char> buffer(size_t(1 + round % 5) << 20, char('a' + round % 26));
            if (round % 4 == 0)
                kept.push_back(std::move(buffer));
        }
        for (size_t i = 0; i < kept.size(); ++i) {
            const char expected = char('a' + (i * 4) % 26);
            QVERIFY(std::all_of(kept[i].begin(), kept[i].end(), [&](char c) { return c == expected; }));
        }
    }

    // Under the address sanitizer what the pools hold but nobody may touch is poisoned: the slot of a
    // node that went, the room past a mapped buffer's end, the front of a buffer given back.
    void poolsPoisonWhatNobodyMayTouch()
    {
#ifndef KOVA_ADDRESS_SANITIZER
        QSKIP("only the address sanitizer build poisons");
#else
        auto node = std::make_unique<TemplateNode>(NodeKind::Policy, QStringLiteral("x"));
        const void *slot = node.get();
        QVERIFY(!isPoisoned(slot));
        node.reset();
        QVERIFY(isPoisoned(slot));
        BulkVector<char> buffer((size_t(3) << 20) + 5);
        QVERIFY(!isPoisoned(&buffer.back()));
        QVERIFY(isPoisoned(buffer.data() + buffer.size()));
        releaseBulkFront(buffer.data(), buffer.capacity(), kBulkBlock + 1);
        QVERIFY(isPoisoned(buffer.data()));
        QVERIFY(!isPoisoned(buffer.data() + kBulkBlock));
#endif
    }
};

QTEST_APPLESS_MAIN(TestBulkMemory)
#include "tst_bulkmemory.moc"
