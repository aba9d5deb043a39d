#include "core/rules/constraintcheck.h"

#include "core/rules/requirementcheck.h"

namespace {

// Every member's name followed by one blank, in requirement order.
QString memberNames(const ClassModel &model, const Constraint &constraint)
{
    QString names;
    for (PersonId id : constraint)
        names += model.nameOf(id) + u' ';
    return names;
}

} // namespace

ConstraintCheck checkConstraintsAgainst(const ClassModel &model, const Grouping &groups)
{
    ConstraintCheck check;
    check.lines.append(QStringLiteral("开始检查要求..."));

    const RequirementCheck verdicts = checkRequirements(model, groups);
    // The verdicts come in the report's order: splits, pairs, separations.
    for (const RequirementResult &result : verdicts.results) {
        if (result.met)
            continue;
        switch (result.kind) {
        case RequirementKind::MustTogether:
            check.lines.append(QStringLiteral("必须同组要求未满足: ")
                               + memberNames(model, model.mustTogether.at(result.requirement)));
            break;
        case RequirementKind::TogetherGroupsApart:
            // Separate requirements sharing a group defeat the point of
            // keeping them apart; only the first member of each stands for it.
            check.lines.append(QStringLiteral("不同要求组在同一组: 要求组%1 和 要求组%2 都在组 %3")
                                   .arg(result.requirement + 1)
                                   .arg(result.otherRequirement + 1)
                                   .arg(result.group + 1));
            break;
        case RequirementKind::MustSeparate:
            check.lines.append(QStringLiteral("不能同组要求未满足: ")
                               + memberNames(model, model.mustSeparate.at(result.requirement)));
            break;
        default:
            continue; // pins, seats, targets and leaders are not part of this report
        }
        check.allSatisfied = false;
    }

    check.lines.append(check.allSatisfied ? QStringLiteral("所有要求已满足") : QStringLiteral("部分要求未满足"));
    return check;
}
