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

    // Pages passed in one buffer serve the buffers filled next, as blocks of their own or under a
    // larger buffer: whichever way they travel, every buffer keeps what was written to it, and
    // letting one go never takes memory from another.
    void passedPagesServeOtherBuffers_data()
    {
        QTest::addColumn<QString>("way");
        for (const char *way : {"as blocks", "under a larger buffer", "as blocks, then under a larger buffer"})
            QTest::newRow(way) << QString::fromLatin1(way);
    }
    void passedPagesServeOtherBuffers()
    {
        QFETCH(QString, way);
        constexpr size_t kPage = kBulkBlock;
        const auto fill = [](BulkVector<char> &buffer, char first) {
            for (size_t p = 0; p < buffer.size() / kPage; ++p)
                std::memset(buffer.data() + p * kPage, first + char(p), kPage);
        };
        const auto holds = [](const BulkVector<char> &buffer, size_t fromPage, char first) {
            for (size_t p = fromPage; p < buffer.size() / kPage; ++p) {
                const char *page = buffer.data() + p * kPage;
                if (!std::all_of(page, page + kPage, [&](char c) { return c == first + char(p); }))
                    return false;
            }
            return true;
        };
        std::vector<std::unique_ptr<void, void (*)(void *)>> earlier; // pages kept by earlier tests, held
        while (bulkPagesKept() > 0)
            earlier.emplace_back(allocateBulkBlock(), [](void *block) { releaseBulkBlock(block); });

        auto passed = std::make_unique<BulkVector<char>>(8 * kPage);
        fill(*passed, 'A');
        releaseBulkFront(passed->data(), passed->capacity(), 4 * kPage + 100);
        QVERIFY(bulkPagesKept() >= 3);
        QVERIFY(holds(*passed, 4, 'A'));

        std::vector<BulkVector<char>> blocks;
        if (way.startsWith(u"as blocks")) {
            for (int k = 0; k < 4; ++k) {
                blocks.emplace_back(kPage);
                fill(blocks.back(), char('a' + k));
            }
            QCOMPARE(bulkPagesKept(), size_t(0));
        }
        std::unique_ptr<BulkVector<char>> larger;
        if (way.endsWith(u"larger buffer")) {
            blocks.clear(); // their pages are kept again
            const size_t kept = bulkPagesKept();
            QVERIFY(kept >= 4);
            // Written as a decode writes: the first page and a half, then the pages from the third on
            // get kept pages under them, then the rest is written.
            larger = std::make_unique<BulkVector<char>>(6 * kPage);
            BulkVector<char> &l = *larger;
            std::memset(l.data(), 'k', kPage);
            std::memset(l.data() + kPage, 'l', kPage / 2);
            reuseBulkPages(l.data(), l.capacity(), kPage + kPage / 2, 5 * kPage);
            QCOMPARE(bulkPagesKept(), kept - 3);
            std::memset(l.data() + kPage + kPage / 2, 'l', kPage / 2);
            for (size_t p = 2; p < 6; ++p)
                std::memset(l.data() + p * kPage, 'k' + int(p), kPage);
        }
        QVERIFY(holds(*passed, 4, 'A'));
        passed.reset();
        for (size_t k = 0; k < blocks.size(); ++k)
            QVERIFY(holds(blocks[k], 0, char('a' + k)));
        if (larger)
            QVERIFY(holds(*larger, 0, 'k'));
    }

    // Nodes fill several blocks of the pool; each keeps its own text however the others come and go,
    // and once all have gone no more than the block in use is held, whatever the order they went in.
    void nodeBlocksComeAndGo_data()
    {
        QTest::addColumn<QString>("order");
        for (const char *order : {"made", "reversed", "shuffled", "every other first", "as a tree"})
            QTest::newRow(order) << QString::fromLatin1(order);
    }

    void nodeBlocksComeAndGo()
    {
        QFETCH(QString, order);
        constexpr int kNodes = 100000; // about five blocks
        std::vector<std::unique_ptr<TemplateNode>> nodes;
        for (int i = 0; i < kNodes; ++i)
            nodes.push_back(std::make_unique<TemplateNode>(NodeKind::Policy, QString::number(i)));
        const size_t initial = nodeBlocksHeld();
        QVERIFY(initial >= 4);
        const auto allIntact = [&] {
            for (size_t i = 0; i < nodes.size(); ++i)
                if (nodes[i] && nodes[i]->text != QString::number(i))
                    return false;
            return true;
        };
        if (order == u"as a tree") {
            // A category of policies with a part each, dropped from the top.
            auto root = std::make_unique<TemplateNode>(NodeKind::Category, QStringLiteral("c"));
            for (int i = 0; i < kNodes; i += 2) {
                TemplateNode *policy = root->appendChild(std::move(nodes[size_t(i)]));
                policy->appendChild(std::move(nodes[size_t(i) + 1]));
            }
            QCOMPARE(root->childCount(), kNodes / 2);
            QCOMPARE(root->child(7)->child(0)->text, QStringLiteral("15"));
            root.reset();
        } else {
            std::vector<size_t> sequence(nodes.size());
            std::iota(sequence.begin(), sequence.end(), size_t(0));
            if (order == u"reversed")
                std::reverse(sequence.begin(), sequence.end());
            else if (order == u"shuffled")
                std::shuffle(sequence.begin(), sequence.end(), QRandomGenerator(7));
            else if (order == u"every other first")
                std::stable_partition(sequence.begin(), sequence.end(), [](size_t i) { return i % 2 == 0; });
            for (size_t k = 0; k < sequence.size(); ++k) {
                nodes[sequence[k]].reset();
                if (k != sequence.size() / 2)
                    continue;
                QVERIFY(allIntact());
                const size_t held = nodeBlocksHeld();
                if (order == u"made" || order == u"reversed") {
                    // The blocks emptied along the way went back at once.
                    QVERIFY(held <= initial / 2 + 1);
                } else {
                    // Slots given back all over are used again before the pool grows.
                    std::vector<std::unique_ptr<TemplateNode>> more;
                    for (int i = 0; i < kNodes / 4; ++i)
                        more.push_back(std::make_unique<TemplateNode>(NodeKind::Part, QString()));
                    QCOMPARE(nodeBlocksHeld(), held);
                }
            }
        }
        QVERIFY2(nodeBlocksHeld() <= 1, qPrintable(QString::number(nodeBlocksHeld())));
        // Something larger than a node comes from the heap and goes back there.
        void *large = allocateNode(sizeof(TemplateNode) * 4);
        std::memset(large, 0x5A, sizeof(TemplateNode) * 4);
        releaseNode(large, sizeof(TemplateNode) * 4);
        QVERIFY(nodeBlocksHeld() <= 1);
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
