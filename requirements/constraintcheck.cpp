#include "requirements/constraintcheck.h"

#include <QSet>

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

ConstraintCheck checkConstraintsAgainst(const ClassModel &model, const QMap<PersonId, int> &personGroup)
{
    ConstraintCheck check;
    check.lines.append(QStringLiteral("开始检查要求..."));

    for (const Constraint &constraint : model.mustTogether) {
        QSet<int> positions;
        for (PersonId id : constraint)
            positions.insert(personGroup.value(id));
        if (positions.size() != 1) {
            check.lines.append(QStringLiteral("必须同组要求未满足: ") + memberNames(model, constraint));
            check.allSatisfied = false;
        }
    }

    // Separate requirements sharing a group defeat the point of keeping them
    // apart; only the first member of each stands for its requirement.
    const QList<Constraint> &together = model.mustTogether;
    for (int i = 0; i < together.size(); ++i) {
        if (together.at(i).isEmpty())
            continue;
        const int first = personGroup.value(together.at(i).first());
        for (int j = i + 1; j < together.size(); ++j) {
            if (together.at(j).isEmpty() || personGroup.value(together.at(j).first()) != first)
                continue;
            check.lines.append(QStringLiteral("不同要求组在同一组: 要求组%1 和 要求组%2 都在组 %3")
                                   .arg(i + 1)
                                   .arg(j + 1)
                                   .arg(first + 1));
            check.allSatisfied = false;
        }
    }

    for (const Constraint &constraint : model.mustSeparate) {
        QMap<int, int> countPerGroup;
        for (PersonId id : constraint) {
            if (++countPerGroup[personGroup.value(id)] > 1) {
                check.lines.append(QStringLiteral("不能同组要求未满足: ") + memberNames(model, constraint));
                check.allSatisfied = false;
                break;
            }
        }
    }

    check.lines.append(check.allSatisfied ? QStringLiteral("所有要求已满足") : QStringLiteral("部分要求未满足"));
    return check;
}
