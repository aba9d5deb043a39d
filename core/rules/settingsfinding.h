#pragma once

#include "core/model/personid.h"

#include <QList>
#include <QString>

// How sure a finding is. WillFail is claimed only where arithmetic on the
// settings proves that no arrangement meets everything; MayFail where the
// outcome depends on more than can be decided cheaply; Hint for things that
// are worth knowing but break nothing.
enum class FindingSeverity { WillFail, MayFail, Hint };

// The texts the settings check shows for each severity.
inline QString severityText(FindingSeverity severity)
{
    switch (severity) {
    case FindingSeverity::WillFail:
        return QStringLiteral("将无法满足");
    case FindingSeverity::MayFail:
        return QStringLiteral("可能无法满足");
    case FindingSeverity::Hint:
        break;
    }
    return QStringLiteral("提示");
}

// What a finding is about, for code that acts on findings rather than shows them.
enum class FindingKind {
    NoEnabledGroup,
    SeatsShort,              // fewer seats than students
    SeatsSpare,              // more seats than students
    BoysTargetsOff,          // the boys' targets do not add up to the boys on the roster
    GirlsTargetsOff,         // likewise for the girls
    GroupTargetsOverTotal,   // a group's targets add up to more than its seats
    GroupSeatsBeyondTargets, // a group's seats outnumber its targets with nobody to spare
    TogetherMerged,          // 必须同组 requirements sharing a student act as one
    TogetherTooLarge,        // more members than any group has seats
    TogetherGenderTooLarge,  // more boys (girls) than any group's target
    TogetherFitsNoGroup,     // no group takes it once pins and targets are counted
    TogetherNeedOwnGroups,   // fewer fitting groups than 必须同组 requirements
    TogetherFitsFewGroups,   // only some groups take it
    SeparateTooLarge,        // more members than enabled groups
    TogetherAndSeparate,     // two students both 必须同组 and 不能同组
    PinnedTogetherApart,     // 必须同组 members pinned to different groups
    PinnedSeparateTogether,  // 不能同组 members pinned to one group
    PinnedGroupDisabled,     // pinned to a group that is off or does not exist
    PinnedSeatBeyondTotal,   // pinned to a seat the group does not have
    PinnedSeatShared,        // two students pinned to one seat
    PinnedGenderOverTarget,  // more pinned boys (girls) than the group's target
    LeadersMoreThanGroups,
    LeadersFewerThanGroups,
    LeaderNotOnRoster,
    BoarderNotOnRoster,
    RequirementNumberUnknown, // a requirement names a number nobody holds
    PinNumberUnknown,         // a pin names a number nobody holds
    RequirementTrivial,       // fewer than two distinct students: always met
    DuplicateName,
    SettingsConflict,  // the solver proved that these requirements and pins cannot all be met
    SettingsUndecided, // the solver could not decide in time whether they can
};

// One thing the settings check found: a sentence naming the numbers, groups
// and students, and what to change. Groups are group numbers (1-10).
struct Finding
{
    FindingKind kind = FindingKind::NoEnabledGroup;
    FindingSeverity severity = FindingSeverity::Hint;
    QString sentence;
    QString remedy;
    QList<int> groups;
    QList<PersonId> persons;
};
