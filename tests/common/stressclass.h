#pragma once

#include "core/model/classmodel.h"

// A large class for benchmarks: ten groups of persons/10 seats, half boys,
// every tenth person a leader and every tenth (shifted) a boarder, with 50
// requirements of each kind and 20 fixed positions, always the same.
ClassModel stressClass(int persons);
