#include "core/engine/random.h"

#include <QTest>

#include <deque>

namespace {

// Hands out scripted raw outputs and counts how many were taken.
struct ScriptedGenerator
{
    std::deque<quint32> values;
    int calls = 0;
    quint32 operator()()
    {
        ++calls;
        const quint32 value = values.front();
        values.pop_front();
        return value;
    }
};

} // namespace

class TestRandom : public QObject
{
    Q_OBJECT

private slots:
    void draw_rejectsTheTopPartialBlock_data();
    void draw_rejectsTheTopPartialBlock();
    void shuffle_followsRawOutputsFromTheFront();
    void shuffle_drawsOncePerElementAfterTheFirst();
    void shuffle_isAPermutation();
    void seedSequence_startsWithItsSeedAndReplays();
};

void TestRandom::draw_rejectsTheTopPartialBlock_data()
{
    QTest::addColumn<quint32>("range");
    QTest::addColumn<QList<quint32>>("outputs");
    QTest::addColumn<quint32>("expected");
    QTest::addColumn<int>("calls");

    QTest::newRow("range 3, top value rejected") << 3u << QList<quint32>{0xFFFFFFFFu, 7u} << 1u << 2;
    QTest::newRow("range 3, below the limit") << 3u << QList<quint32>{0xFFFFFFFEu} << 0xFFFFFFFEu % 3u << 1;
    QTest::newRow("power of two accepts all") << 4u << QList<quint32>{0xFFFFFFFFu} << 3u << 1;
    QTest::newRow("range 2^31+1, half rejected") << 0x80000001u << QList<quint32>{0x80000001u, 0xFFFFFFFFu, 0x80000000u}
                                                 << 0x80000000u << 3;
    QTest::newRow("range 1 takes nothing") << 1u << QList<quint32>{} << 0u << 0;
}

void TestRandom::draw_rejectsTheTopPartialBlock()
{
    QFETCH(quint32, range);
    QFETCH(QList<quint32>, outputs);
    QFETCH(quint32, expected);
    QFETCH(int, calls);

    ScriptedGenerator generator{std::deque<quint32>(outputs.begin(), outputs.end())};
    QCOMPARE(drawBelow(generator, range), expected);
    QCOMPARE(generator.calls, calls);
}

void TestRandom::shuffle_followsRawOutputsFromTheFront()
{
    // The first raw outputs of MT19937 with its default seed are fixed by the
    // standard: 3499211612, 581869302, 3890346734, 3586334585.
    // i=1: 3499211612 % 2 = 0, i=2: 581869302 % 3 = 0, i=3: 3890346734 % 4 = 2,
    // i=4: 3586334585 % 5 = 0.
    std::mt19937 generator(5489u);
    QList<int> list{0, 1, 2, 3, 4};
    shuffleList(list, generator);
    QCOMPARE(list, (QList<int>{4, 0, 3, 1, 2}));
    QCOMPARE(quint32(generator()), 545404204u); // exactly four outputs used
}

void TestRandom::shuffle_drawsOncePerElementAfterTheFirst()
{
    for (int size : {0, 1, 2, 7}) {
        ScriptedGenerator generator{std::deque<quint32>(size_t(size), 0u)};
        QList<int> list(size, 0);
        shuffleList(list, generator);
        QCOMPARE(generator.calls, std::max(0, size - 1));
    }
}

void TestRandom::shuffle_isAPermutation()
{
    std::mt19937 generator(42u);
    for (int round = 0; round < 200; ++round) {
        QList<int> list;
        for (int i = 0; i < round % 17; ++i)
            list.append(i);
        shuffleList(list, generator);
        QList<int> sorted = list;
        std::sort(sorted.begin(), sorted.end());
        for (int i = 0; i < sorted.size(); ++i)
            QCOMPARE(sorted.at(i), i);
    }
}

void TestRandom::seedSequence_startsWithItsSeedAndReplays()
{
    for (const quint32 seed : {0u, 1u, 4242u, 0xFFFFFFFFu}) {
        const SeedSource first = seedSequence(seed);
        // Copies share their place in the sequence, as a run's copies must.
        const SeedSource copy = first;
        QCOMPARE(first(), seed);
        const quint32 second = copy();
        const quint32 third = first();
        const SeedSource again = seedSequence(seed);
        QCOMPARE(again(), seed);
        QCOMPARE(again(), second);
        QCOMPARE(again(), third);
        QVERIFY(second != seed || third != seed);
    }
}

QTEST_GUILESS_MAIN(TestRandom)
#include "test_random.moc"
