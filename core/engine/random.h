#pragma once

#include <QList>
#include <QtGlobal>

#include <functional>
#include <random>
#include <utility>

// Where a run gets its 32-bit seeds. Tests pass a fixed sequence to replay a
// run; the program uses the platform's random device. A run works on a copy,
// so a source that counts must keep its state shared to go on across runs.
using SeedSource = std::function<quint32()>;

SeedSource platformSeedSource();

// The whole sequence of a run from its one seed: the seed itself, then 32-bit
// values of a standard generator keyed by it. The seed alone thus replays a
// run in any process.
SeedSource seedSequence(quint32 seed);

// A uniform draw from [0, range) using raw 32-bit outputs only, so that a seed
// gives the same sequence with every standard library. Values from the top
// partial block are rejected to keep the draw unbiased. range must be >= 1.
template <typename Generator>
quint32 drawBelow(Generator &generator, quint32 range)
{
    if (range <= 1)
        return 0;
    // 2^32 mod range, computed without 64-bit arithmetic.
    const quint32 excess = quint32(0u - range) % range;
    const quint32 limit = quint32(0u - excess); // 2^32 - excess, or 0 meaning 2^32
    for (;;) {
        const quint32 value = quint32(generator());
        if (limit == 0 || value < limit)
            return value % range;
    }
}

// Fisher-Yates from the front: for i = 1..n-1 swap i with a uniform j in [0, i].
template <typename T, typename Generator>
void shuffleList(QList<T> &list, Generator &generator)
{
    for (qsizetype i = 1; i < list.size(); ++i) {
        const auto j = qsizetype(drawBelow(generator, quint32(i + 1)));
        if (j != i)
            std::swap(list[i], list[j]);
    }
}
