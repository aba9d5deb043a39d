#include "core/storage/arrangementrecord.h"

#include "core/rules/requirementcheck.h"

#include <QSet>

#include <algorithm>

int unmetRequirementCount(const ClassModel &model, const Grouping &groups)
{
    int unmet = 0;
    for (const RequirementResult &result : checkRequirements(model, groups).results) {
        const bool reported = result.kind == RequirementKind::MustTogether
                              || result.kind == RequirementKind::TogetherGroupsApart
                              || result.kind == RequirementKind::MustSeparate;
        if (reported && !result.met)
            ++unmet;
    }
    return unmet;
}

QString verdictText(int unmetRequirements)
{
    return unmetRequirements == 0 ? QStringLiteral("所有要求已满足")
                                  : QStringLiteral("%1 项要求未满足").arg(unmetRequirements);
}

void noteSolver(ArrangementRecord &record, const Engine::SolverReport &report)
{
    using Outcome = Engine::SolverReport::Outcome;
    switch (report.outcome) {
    case Outcome::NotRun: record.solverOutcome.clear(); break;
    case Outcome::SettingsConflict: record.solverOutcome = QStringLiteral("settings-conflict"); break;
    case Outcome::Solved: record.solverOutcome = QStringLiteral("solved"); break;
    case Outcome::Infeasible: record.solverOutcome = QStringLiteral("infeasible"); break;
    case Outcome::Undecided: record.solverOutcome = QStringLiteral("undecided"); break;
    }
    record.solverMoved = report.outcome == Outcome::Solved ? report.moved : 0;
}

ArrangementRecord recordOf(const ClassModel &model, const Grouping &groups, quint32 seed, const QDateTime &time)
{
    ArrangementRecord record;
    record.time = time;
    record.seed = seed;
    record.unmetRequirements = unmetRequirementCount(model, groups);
    for (int p = 0; p < groups.size(); ++p) {
        RecordedGroup group;
        group.number = model.groupNumberOfPosition(p);
        for (PersonId id : groups.at(p)) {
            if (id != 0)
                group.members.append({model.nameOf(id), model.isBoy(id), model.isLeader(id), model.isBoarder(id)});
        }
        record.groups.append(group);
    }
    return record;
}

RosterArrangement placeOnRoster(const ArrangementRecord &record, const ClassModel &model)
{
    RosterArrangement placed;
    placed.groups = Grouping(model.enabledGroupIndexes().size());
    QSet<PersonId> seated;
    for (const RecordedGroup &group : record.groups) {
        const int position = model.positionOfGroupNumber(group.number);
        if (position < 0 && !group.members.isEmpty())
            placed.disabledGroups.append(group.number);
        for (const RecordedMember &member : group.members) {
            const PersonId id = model.nameToId.value(member.name, 0);
            if (id == 0 || seated.contains(id)) {
                placed.missingNames.append(member.name);
            } else if (position < 0) {
                placed.disabledGroupNames.append(member.name);
            } else {
                placed.groups[position].append(id);
                seated.insert(id);
            }
        }
    }
    return placed;
}

Grouping groupmatesOf(const ArrangementRecord &record, const ClassModel &model)
{
    Grouping groups;
    for (const RecordedGroup &group : record.groups) {
        Group members;
        for (const RecordedMember &member : group.members) {
            const PersonId id = model.nameToId.value(member.name, 0);
            if (id != 0)
                members.append(id);
        }
        groups.append(members);
    }
    return groups;
}

LastArrangement lastArrangement(const HistoryBook &history, const ClassModel &model, int preferred)
{
    const ArrangementRecord *last = history.lastTime(preferred);
    return last ? LastArrangement{last->id, groupmatesOf(*last, model)} : LastArrangement();
}

LastArrangement avoidedBy(const HistoryBook &history, const ClassModel &model, const ArrangementRecord &record)
{
    return record.avoidedRecord == 0 ? LastArrangement() : lastArrangement(history, model, record.avoidedRecord);
}

const ArrangementRecord *newestWithSeed(const QList<ArrangementRecord> &records, quint32 seed)
{
    const auto found = std::find_if(records.crbegin(), records.crend(),
                                    [seed](const ArrangementRecord &record) { return record.seed == seed; });
    return found == records.crend() ? nullptr : &*found;
}

QString groupNumbersText(const ArrangementRecord &record)
{
    QStringList runs;
    for (int i = 0; i < record.groups.size();) {
        int j = i;
        while (j + 1 < record.groups.size() && record.groups.at(j + 1).number == record.groups.at(j).number + 1)
            ++j;
        const int first = record.groups.at(i).number;
        const int last = record.groups.at(j).number;
        runs.append(first == last ? QString::number(first) : QStringLiteral("%1-%2").arg(first).arg(last));
        i = j + 1;
    }
    return runs.join(QStringLiteral(", "));
}
