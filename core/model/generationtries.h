#pragma once

// How many tries one "生成分组" makes, keeping the best: a setting of its own.
// One try is the single specified run.
constexpr int kMinGenerationTries = 1;
constexpr int kMaxGenerationTries = 200;
constexpr int kDefaultGenerationTries = 20;
