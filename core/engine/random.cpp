#include "core/engine/random.h"

#include <memory>

SeedSource platformSeedSource()
{
    // One device per source; it is only asked a handful of times per run.
    auto device = std::make_shared<std::random_device>();
    return [device] { return quint32((*device)()); };
}

SeedSource seedSequence(quint32 seed)
{
    auto first = std::make_shared<bool>(true);
    std::seed_seq key{seed};
    auto generator = std::make_shared<std::mt19937>(key);
    return [first, generator, seed]() -> quint32 {
        if (*first) {
            *first = false;
            return seed;
        }
        return quint32((*generator)());
    };
}
