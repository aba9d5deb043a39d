#include "engine/random.h"

#include <memory>

SeedSource platformSeedSource()
{
    // One device per source; it is only asked a handful of times per run.
    auto device = std::make_shared<std::random_device>();
    return [device] { return quint32((*device)()); };
}
