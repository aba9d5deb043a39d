#pragma once

#include "core/workbook/automation.h"

// A spreadsheet application of our own for platforms without COM: the part
// of the automation model the seating-plan export uses, carried out directly
// on .xlsx files.
namespace BuiltInEngine {

// Cells the used range of a sheet may span before the engine refuses it: a
// template's few hundred cells are far below, a stray format at the sheet's
// far corner is not.
constexpr qint64 kMaxUsedCells = 4 * 1000 * 1000;

Automation::ObjectPtr createApplication();

} // namespace BuiltInEngine
