#pragma once

#include "core/model/classmodel.h"
#include "core/model/rosterupdate.h"
#include "core/roster/rosterimport.h"

#include <QStringList>

// What the import preview and `quorvane import` say about an import, in the
// same words: the counts, how the file was read, and what to do when genders
// stay unknown.
struct ImportSummary
{
    QStringList lines;
    bool alert = false; // nothing (or not everyone) can be imported as it stands
};

ImportSummary summarizeImport(const RosterImport &import);
// The sentence about hidden rows, empty when the file hides none.
QString hiddenRowsSentence(const RosterImport &import);

// The class after "导入" replaced the lists and "保存" stored them: the new
// roster, leader and boarder marks from the file's columns (left as they were
// when it has none), and the pins following their students by name.
struct RosterReplacement
{
    ClassModel model;
    FixedPositionRemap remap;
};
RosterReplacement replaceRoster(const ClassModel &current, const RosterImport &import);
