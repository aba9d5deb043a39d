// The settings check's part on requirements: sizes, genders, overlaps and pins.
#include "core/rules/requirementcheck.h"
#include "core/rules/settingscontext.h"

#include <QSet>
#include <QStringList>

namespace {

// 必须同组 requirements linked through shared students, seated as one.
struct TogetherSet
{
    QList<int> requirements; // indexes into mustTogether
    QList<PersonId> members; // distinct roster members
    int boys = 0;
    int girls = 0;
    QList<int> fits; // configuration indexes of the groups that can take it
    bool decided = false; // a WillFail finding already explains it

    QString label(bool showMerged = true) const
    {
        QStringList numbers;
        for (int i : requirements)
            numbers.append(QString::number(i + 1));
        return QStringLiteral("必须同组要求%1").arg(numbers.join(u'、'))
               + (showMerged && requirements.size() > 1 ? QStringLiteral("（合并后）") : QString());
    }
};

QString requirementLabel(bool together, int index)
{
    return (together ? QStringLiteral("必须同组要求%1") : QStringLiteral("不能同组要求%1")).arg(index + 1);
}

void checkEntries(SettingsContext &c, bool together)
{
    const QList<Constraint> &list = together ? c.model.mustTogether : c.model.mustSeparate;
    for (int i = 0; i < list.size(); ++i) {
        QStringList unknown;
        for (PersonId id : list.at(i)) {
            if (!c.model.isOnRoster(id) && !unknown.contains(QString::number(id)))
                unknown.append(QString::number(id));
        }
        if (!unknown.isEmpty()) {
            c.add(FindingKind::RequirementNumberUnknown, FindingSeverity::MayFail,
                  QStringLiteral("%1 中的编号 %2 不对应名单中的任何人，将被忽略")
                      .arg(requirementLabel(together, i), unknown.join(u'、')),
                  QStringLiteral("删除这条要求后按姓名重新添加（config.ini 可能被手动改过）"));
        }
        const QList<PersonId> members = rosterMembers(c.model, list.at(i));
        if (members.size() < 2) {
            c.add(FindingKind::RequirementTrivial, FindingSeverity::Hint,
                  QStringLiteral("%1 只有 %2 名名单中的学生%3，这条要求总是满足")
                      .arg(requirementLabel(together, i))
                      .arg(members.size())
                      .arg(members.isEmpty() ? QString() : QStringLiteral("（%1）").arg(c.names(members))),
                  QStringLiteral("删除这条要求，或重新添加时写上至少两名学生"))
                .persons = members;
        }
    }
}

// Pinned students of other groups count against the seats and targets a set
// would need there.
bool fitsGroup(const SettingsContext &c, const TogetherSet &set, int index)
{
    int people = int(set.members.size());
    int boys = set.boys;
    int girls = set.girls;
    for (auto it = c.validPins.cbegin(); it != c.validPins.cend(); ++it) {
        const bool member = set.members.contains(it.key());
        if (member && it->group != index + 1)
            return false;
        if (member || it->group != index + 1)
            continue;
        ++people;
        (c.model.isBoy(it.key()) ? boys : girls) += 1;
    }
    return people <= c.total(index) && boys <= c.males(index) && girls <= c.females(index);
}

// Pinned to two groups: reported, and no group can take the set.
bool reportPinnedApart(SettingsContext &c, const TogetherSet &set)
{
    QStringList where;
    QSet<int> groups;
    QList<PersonId> pinned;
    for (PersonId id : set.members) {
        if (!c.validPins.contains(id))
            continue;
        groups.insert(c.validPins.value(id).group);
        pinned.append(id);
        where.append(QStringLiteral("%1 固定在组%2").arg(c.model.nameOf(id)).arg(c.validPins.value(id).group));
    }
    if (groups.size() < 2)
        return false;
    c.add(FindingKind::PinnedTogetherApart, FindingSeverity::WillFail,
          QStringLiteral("%1 中 %2，他们无法坐在同一组").arg(set.label(), where.join(u'、')),
          QStringLiteral("把他们固定到同一组，或删除其中的固定位置"))
        .persons = pinned;
    return true;
}

void judgeSetAlone(SettingsContext &c, TogetherSet &set)
{
    int maxTotal = 0;
    int maxMales = 0;
    int maxFemales = 0;
    for (int index : std::as_const(c.enabled)) {
        maxTotal = std::max(maxTotal, c.total(index));
        maxMales = std::max(maxMales, c.males(index));
        maxFemales = std::max(maxFemales, c.females(index));
        if (fitsGroup(c, set, index))
            set.fits.append(index);
    }
    const int size = int(set.members.size());
    const QString who = QStringLiteral("%1（%2）").arg(set.label(), c.names(set.members));
    set.decided = true;
    if (size > maxTotal) {
        c.add(FindingKind::TogetherTooLarge, FindingSeverity::WillFail,
              QStringLiteral("%1共 %2 人，但启用组的总人数最多 %3").arg(who).arg(size).arg(maxTotal),
              QStringLiteral("拆分这条要求，或把某个组的总人数增加到 %1").arg(size))
            .persons = set.members;
    } else if (set.boys > maxMales || set.girls > maxFemales) {
        const bool boys = set.boys > maxMales;
        const QString gender = boys ? QStringLiteral("男生") : QStringLiteral("女生");
        const int count = boys ? set.boys : set.girls;
        const int most = boys ? maxMales : maxFemales;
        c.add(FindingKind::TogetherGenderTooLarge, FindingSeverity::WillFail,
              QStringLiteral("%1有 %2 名%3，但启用组的%3目标最多 %4").arg(who).arg(count).arg(gender).arg(most),
              QStringLiteral("把某个组的%1目标提高到 %2，或从要求中去掉 %3 名%1").arg(gender).arg(count).arg(count - most))
            .persons = set.members;
    } else if (set.fits.isEmpty()) {
        c.add(FindingKind::TogetherFitsNoGroup, FindingSeverity::WillFail,
              QStringLiteral("%1有 %2 名男生、%3 名女生，算上各组固定了座位的学生，没有哪个组的座位和男女目标容得下")
                  .arg(who)
                  .arg(set.boys)
                  .arg(set.girls),
              QStringLiteral("调整某个组的男女目标或固定位置，或拆分这条要求"))
            .persons = set.members;
    } else {
        set.decided = false;
    }
}

// Kuhn's augmenting paths: sets to distinct groups (at most ten of each).
bool augment(int set, const QList<TogetherSet> &sets, QMap<int, int> &holder, QSet<int> &seen)
{
    for (int index : sets.at(set).fits) {
        if (seen.contains(index))
            continue;
        seen.insert(index);
        if (!holder.contains(index) || augment(holder.value(index), sets, holder, seen)) {
            holder.insert(index, set);
            return true;
        }
    }
    return false;
}

// Different 必须同组 requirements may not share a group, so the sets need
// distinct groups; where that fails, name the sets that compete for too few.
void checkOwnGroups(SettingsContext &c, QList<TogetherSet> &sets)
{
    QList<int> open;
    for (int i = 0; i < sets.size(); ++i) {
        if (!sets.at(i).decided)
            open.append(i);
    }
    QMap<int, int> holder; // configuration index -> set
    for (int i : std::as_const(open)) {
        QSet<int> seen;
        if (augment(i, sets, holder, seen))
            continue;
        // Everything reachable from the unplaced set by alternating paths:
        // these sets share fewer groups than there are of them.
        QList<int> crowd{i};
        QList<int> groups;
        for (int k = 0; k < crowd.size(); ++k) {
            for (int index : sets.at(crowd.at(k)).fits) {
                if (groups.contains(index))
                    continue;
                groups.append(index);
                if (holder.contains(index) && !crowd.contains(holder.value(index)))
                    crowd.append(holder.value(index));
            }
        }
        std::sort(crowd.begin(), crowd.end());
        std::sort(groups.begin(), groups.end());
        QStringList labels;
        QList<PersonId> persons;
        for (int k : std::as_const(crowd)) {
            labels.append(sets.at(k).label());
            persons += sets.at(k).members;
            sets[k].decided = true;
        }
        Finding &f = c.add(FindingKind::TogetherNeedOwnGroups, FindingSeverity::WillFail,
                           QStringLiteral("%1 各需要自己的一个组（不同的必须同组要求不能在同一组），"
                                          "但按座位、男女目标和固定位置，它们只放得进 %2，共 %3 个组")
                               .arg(labels.join(QStringLiteral("、")), groupList(groups))
                               .arg(groups.size()),
                           QStringLiteral("合并或删除其中 %1 条要求，或调整其他组的座位和男女目标")
                               .arg(crowd.size() - groups.size()));
        f.persons = persons;
        for (int index : std::as_const(groups))
            f.groups.append(index + 1);
        return; // one crowd explains the shortage; the rest follows from it
    }
}

void checkTogether(SettingsContext &c, QList<TogetherSet> &sets)
{
    for (TogetherSet &set : sets) {
        for (int i : std::as_const(set.requirements)) {
            for (PersonId id : rosterMembers(c.model, c.model.mustTogether.at(i))) {
                if (!set.members.contains(id))
                    set.members.append(id);
            }
        }
        for (PersonId id : std::as_const(set.members))
            (c.model.isBoy(id) ? set.boys : set.girls) += 1;

        if (set.requirements.size() > 1) {
            QList<PersonId> shared;
            for (PersonId id : std::as_const(set.members)) {
                int holders = 0;
                for (int i : std::as_const(set.requirements))
                    holders += c.model.mustTogether.at(i).contains(id) ? 1 : 0;
                if (holders > 1)
                    shared.append(id);
            }
            c.add(FindingKind::TogetherMerged, FindingSeverity::Hint,
                  QStringLiteral("%1 都有 %2，它们将合成一组，共 %3 人：%4")
                      .arg(set.label(false), c.names(shared))
                      .arg(set.members.size())
                      .arg(c.names(set.members)),
                  QStringLiteral("如果这些学生不必都坐在一起，修改或删除其中一条要求"))
                .persons = shared;
        }
        if (reportPinnedApart(c, set))
            set.decided = true;
        else
            judgeSetAlone(c, set);
    }

    checkOwnGroups(c, sets);
    for (const TogetherSet &set : std::as_const(sets)) {
        if (set.decided || set.fits.size() == c.enabled.size())
            continue;
        c.add(FindingKind::TogetherFitsFewGroups, FindingSeverity::MayFail,
              QStringLiteral("%1（%2：%3 名男生、%4 名女生）只放得进 %5；放进其他组时，座位、男女目标或固定位置将无法满足")
                  .arg(set.label(), c.names(set.members))
                  .arg(set.boys)
                  .arg(set.girls)
                  .arg(groupList(set.fits)),
              QStringLiteral("调整其他组的男女目标，或修改这条要求"))
            .persons = set.members;
    }
}

void checkSeparate(SettingsContext &c, const QList<TogetherSet> &sets)
{
    const int groups = int(c.enabled.size());
    for (int i = 0; i < c.model.mustSeparate.size(); ++i) {
        const QList<PersonId> members = rosterMembers(c.model, c.model.mustSeparate.at(i));
        const QString label = requirementLabel(false, i);
        if (members.size() > groups) {
            c.add(FindingKind::SeparateTooLarge, FindingSeverity::WillFail,
                  QStringLiteral("%1 有 %2 名学生（%3），只启用了 %4 个组：至少有两人会在同一组")
                      .arg(label)
                      .arg(members.size())
                      .arg(c.names(members))
                      .arg(groups),
                  QStringLiteral("再启用 %1 个组，或从要求中去掉 %1 人").arg(members.size() - groups))
                .persons = members;
        }
        for (const TogetherSet &set : sets) {
            QList<PersonId> both;
            for (PersonId id : members) {
                if (set.members.contains(id))
                    both.append(id);
            }
            if (both.size() < 2)
                continue;
            c.add(FindingKind::TogetherAndSeparate, FindingSeverity::WillFail,
                  QStringLiteral("%1 在%2 中，又同在%3 中").arg(c.names(both), set.label(), label),
                  QStringLiteral("删除其中一条要求，或从一条要求中去掉这些学生"))
                .persons = both;
        }
        QMap<int, QList<PersonId>> pinnedIn;
        for (PersonId id : members) {
            if (c.validPins.contains(id))
                pinnedIn[c.validPins.value(id).group].append(id);
        }
        for (auto it = pinnedIn.cbegin(); it != pinnedIn.cend(); ++it) {
            if (it->size() < 2)
                continue;
            Finding &f = c.add(FindingKind::PinnedSeparateTogether, FindingSeverity::WillFail,
                               QStringLiteral("%1 中的 %2 都固定在组%3").arg(label, c.names(*it)).arg(it.key()),
                               QStringLiteral("把其中 %1 人固定到别的组").arg(it->size() - 1));
            f.groups = {it.key()};
            f.persons = *it;
        }
    }
}

} // namespace

void checkRequirementSettings(SettingsContext &context)
{
    checkEntries(context, true);
    checkEntries(context, false);
    QList<TogetherSet> sets;
    for (const QList<int> &requirements : linkedTogetherRequirements(context.model))
        sets.append(TogetherSet{requirements, {}, 0, 0, {}, false});
    checkTogether(context, sets);
    checkSeparate(context, sets);
}
