#include "core/rules/settingscheck.h"

#include "core/model/duplicatenames.h"
#include "core/rules/settingscontext.h"

#include <QSet>
#include <QStringList>

#include <algorithm>

SettingsContext::SettingsContext(const ClassModel &model) : model(model), enabled(model.enabledGroupIndexes())
{
    for (auto it = model.fixedPositions.cbegin(); it != model.fixedPositions.cend(); ++it) {
        // A hand-edited group may be any int: no index below group 1.
        const int index = it->group >= 1 ? it->group - 1 : -1;
        if (model.isOnRoster(it.key()) && enabled.contains(index) && it->seat >= 1 && it->seat <= total(index))
            validPins.insert(it.key(), it.value());
    }
}

int SettingsContext::seats() const
{
    int sum = 0;
    for (int index : enabled)
        sum += total(index);
    return sum;
}

Finding &SettingsContext::add(FindingKind kind, FindingSeverity severity, const QString &sentence,
                              const QString &remedy)
{
    findings.append(Finding{kind, severity, sentence, remedy, {}, {}});
    return findings.last();
}

QString SettingsContext::names(const QList<PersonId> &persons) const
{
    QStringList list;
    for (PersonId id : persons)
        list.append(model.nameOf(id));
    return list.join(u'、');
}

QString groupList(const QList<int> &indexes)
{
    QStringList list;
    for (int index : indexes)
        list.append(QStringLiteral("组%1").arg(index + 1));
    return list.join(u'、');
}

namespace {

void checkSeats(SettingsContext &c)
{
    const int seats = c.seats();
    const int students = c.model.personCount();
    if (seats < students) {
        const int missing = students - seats;
        c.add(FindingKind::SeatsShort, FindingSeverity::WillFail,
              QStringLiteral("启用的组共有 %1 个座位，名单有 %2 名学生，少 %3 个座位：将有 %3 "
                             "名学生没有座位（固定了座位的学生除外）")
                  .arg(seats)
                  .arg(students)
                  .arg(missing),
              QStringLiteral("把启用组的总人数共增加 %1，或启用更多的组").arg(missing));
    } else if (seats > students) {
        c.add(FindingKind::SeatsSpare, FindingSeverity::Hint,
              QStringLiteral("启用的组共有 %1 个座位，名单只有 %2 名学生，%3 个座位将空着")
                  .arg(seats)
                  .arg(students)
                  .arg(seats - students),
              QStringLiteral("如果不需要空座位，把启用组的总人数共减少 %1").arg(seats - students));
    }
}

void checkGenderTargets(SettingsContext &c, bool boys)
{
    int target = 0;
    for (int index : std::as_const(c.enabled))
        target += boys ? c.males(index) : c.females(index);
    const int onRoster = boys ? c.model.boyCount() : c.model.personCount() - c.model.boyCount();
    if (target == onRoster)
        return;
    const QString gender = boys ? QStringLiteral("男生") : QStringLiteral("女生");
    const QString sentence =
        target > onRoster
            ? QStringLiteral("启用组的%1目标合计 %2，名单只有 %3 名%1：有 %4 个%1目标位置无人可坐")
            : QStringLiteral("启用组的%1目标合计 %2，名单有 %3 名%1：有 %4 名%1将超出目标");
    c.add(boys ? FindingKind::BoysTargetsOff : FindingKind::GirlsTargetsOff, FindingSeverity::WillFail,
          sentence.arg(gender).arg(target).arg(onRoster).arg(std::abs(target - onRoster)),
          QStringLiteral("调整各组的%1目标，使合计等于 %2").arg(gender).arg(onRoster));
}

void checkGroupTargets(SettingsContext &c)
{
    int boysTarget = 0;
    int girlsTarget = 0;
    for (int index : std::as_const(c.enabled)) {
        boysTarget += c.males(index);
        girlsTarget += c.females(index);
    }
    // Students beyond the targets could take a group's seats beyond its targets.
    const bool nobodySpare = boysTarget >= c.model.boyCount() && girlsTarget >= c.model.personCount() - c.model.boyCount();
    for (int index : std::as_const(c.enabled)) {
        const int total = c.total(index);
        const int targets = c.males(index) + c.females(index);
        if (targets > total) {
            c.add(FindingKind::GroupTargetsOverTotal, FindingSeverity::WillFail,
                  QStringLiteral("组%1 总人数 %2，男生目标 %3 加女生目标 %4 共 %5，超过总人数")
                      .arg(index + 1)
                      .arg(total)
                      .arg(c.males(index))
                      .arg(c.females(index))
                      .arg(targets),
                  QStringLiteral("把组%1 的男生或女生目标共减少 %2，或把总人数改为 %3")
                      .arg(index + 1)
                      .arg(targets - total)
                      .arg(targets))
                .groups = {index + 1};
        } else if (targets < total && nobodySpare) {
            c.add(FindingKind::GroupSeatsBeyondTargets, FindingSeverity::Hint,
                  QStringLiteral("组%1 总人数 %2，男女目标只有 %3 人，名单中没有目标之外的学生：%4 个座位将空着")
                      .arg(index + 1)
                      .arg(total)
                      .arg(targets)
                      .arg(total - targets),
                  QStringLiteral("把组%1 的总人数改为 %2，或提高它的男生或女生目标").arg(index + 1).arg(targets))
                .groups = {index + 1};
        }
    }
}

void checkRoster(SettingsContext &c)
{
    const ClassModel &m = c.model;
    for (const DuplicateName &duplicate : duplicateNames(m.maleNames + m.femaleNames)) {
        QList<PersonId> holders;
        QStringList places;
        for (PersonId id = 1; id <= m.personCount(); ++id) {
            if (m.nameOf(id) != duplicate.name)
                continue;
            holders.append(id);
            places.append(m.isBoy(id) ? QStringLiteral("男生第 %1 个").arg(id)
                                      : QStringLiteral("女生第 %1 个").arg(id - m.boyCount()));
        }
        c.add(FindingKind::DuplicateName, FindingSeverity::MayFail,
              QStringLiteral("%1 在名单中出现了 %2 次（%3）：按姓名添加的要求和固定位置只会指向最后一个")
                  .arg(duplicate.name)
                  .arg(duplicate.count)
                  .arg(places.join(u'、')),
              QStringLiteral("给重名的学生加上区分，例如 %1A、%1B").arg(duplicate.name))
            .persons = holders;
    }

    for (const bool leaders : {true, false}) {
        for (const QString &name : sortedNames(leaders ? m.leaderNames : m.boarderNames)) {
            if (m.nameToId.contains(name))
                continue;
            const QString role = leaders ? QStringLiteral("组长") : QStringLiteral("外宿生");
            c.add(leaders ? FindingKind::LeaderNotOnRoster : FindingKind::BoarderNotOnRoster, FindingSeverity::Hint,
                  QStringLiteral("%1名单中的 %2 不在男生或女生名单中，不会被当作%1").arg(role, name),
                  QStringLiteral("检查姓名的写法（包括空格），或把 %1 加入男生或女生名单").arg(name));
        }
    }

    QList<PersonId> leaders;
    for (PersonId id = 1; id <= m.personCount(); ++id) {
        if (m.isLeader(id))
            leaders.append(id);
    }
    const int groups = int(c.enabled.size());
    if (leaders.size() > groups) {
        c.add(FindingKind::LeadersMoreThanGroups, FindingSeverity::WillFail,
              QStringLiteral("名单中有 %1 名组长（%2），只启用了 %3 个组：有的组会有两名组长")
                  .arg(leaders.size())
                  .arg(c.names(leaders))
                  .arg(groups),
              QStringLiteral("减少 %1 名组长，或再启用 %1 个组").arg(leaders.size() - groups))
            .persons = leaders;
    } else if (leaders.size() < groups) {
        c.add(FindingKind::LeadersFewerThanGroups, FindingSeverity::Hint,
              QStringLiteral("名单中有 %1 名组长，启用了 %2 个组：%3 个组将没有组长")
                  .arg(leaders.size())
                  .arg(groups)
                  .arg(groups - leaders.size()),
              QStringLiteral("在“人员设置”中再指定 %1 名组长").arg(groups - leaders.size()))
            .persons = leaders;
    }
}

void checkPins(SettingsContext &c)
{
    const ClassModel &m = c.model;
    QMap<QPair<int, int>, QList<PersonId>> bySeat;
    QMap<int, QList<PersonId>> boysIn;
    QMap<int, QList<PersonId>> girlsIn;
    for (auto it = m.fixedPositions.cbegin(); it != m.fixedPositions.cend(); ++it) {
        const PersonId id = it.key();
        const int group = it->group;
        const int seat = it->seat;
        if (!m.isOnRoster(id)) {
            c.add(FindingKind::PinNumberUnknown, FindingSeverity::MayFail,
                  QStringLiteral("固定位置中的编号 %1（组%2座位%3）不对应名单中的任何人，这一项将被忽略")
                      .arg(id)
                      .arg(group)
                      .arg(seat),
                  QStringLiteral("在“固定位置”中清空后重新添加（config.ini 可能被手动改过）"))
                .persons = {id};
            continue;
        }
        const QString name = m.nameOf(id);
        if (group < 1 || !c.enabled.contains(group - 1)) {
            const bool exists = group >= 1 && group <= kGroupCount;
            const QString why = (exists ? QStringLiteral("组%1 未启用") : QStringLiteral("组%1 不存在")).arg(group);
            const QString remedy = exists ? QStringLiteral("启用组%1，或修改 %2 的固定位置").arg(group).arg(name)
                                          : QStringLiteral("把 %1 固定到组1-组%2 中启用的组").arg(name).arg(kGroupCount);
            Finding &f = c.add(FindingKind::PinnedGroupDisabled, FindingSeverity::WillFail,
                               QStringLiteral("%1 固定在组%2座位%3，但%4").arg(name).arg(group).arg(seat).arg(why),
                               remedy);
            f.groups = {group};
            f.persons = {id};
            continue;
        }
        if (!c.validPins.contains(id)) {
            Finding &f = c.add(FindingKind::PinnedSeatBeyondTotal, FindingSeverity::WillFail,
                               QStringLiteral("%1 固定在组%2座位%3，但组%2 只有 %4 个座位")
                                   .arg(name)
                                   .arg(group)
                                   .arg(seat)
                                   .arg(c.total(group - 1)),
                               QStringLiteral("把 %1 固定到组%2 的座位 1-%3 之一，或增加组%2 的总人数")
                                   .arg(name)
                                   .arg(group)
                                   .arg(c.total(group - 1)));
            f.groups = {group};
            f.persons = {id};
            continue;
        }
        bySeat[{group, seat}].append(id);
        (m.isBoy(id) ? boysIn : girlsIn)[group].append(id);
    }

    for (auto it = bySeat.cbegin(); it != bySeat.cend(); ++it) {
        if (it->size() < 2)
            continue;
        Finding &f = c.add(FindingKind::PinnedSeatShared, FindingSeverity::WillFail,
                           QStringLiteral("%1 都固定在组%2座位%3，一个座位只能坐一人")
                               .arg(c.names(*it))
                               .arg(it.key().first)
                               .arg(it.key().second),
                           QStringLiteral("只保留其中一人的固定位置，给其他人换座位"));
        f.groups = {it.key().first};
        f.persons = *it;
    }

    for (const bool boys : {true, false}) {
        const QMap<int, QList<PersonId>> &pinned = boys ? boysIn : girlsIn;
        for (auto it = pinned.cbegin(); it != pinned.cend(); ++it) {
            const int target = boys ? c.males(it.key() - 1) : c.females(it.key() - 1);
            if (it->size() <= target)
                continue;
            const QString gender = boys ? QStringLiteral("男生") : QStringLiteral("女生");
            Finding &f = c.add(FindingKind::PinnedGenderOverTarget, FindingSeverity::WillFail,
                               QStringLiteral("组%1 固定了 %2 名%3（%4），但%3目标只有 %5")
                                   .arg(it.key())
                                   .arg(it->size())
                                   .arg(gender, c.names(*it))
                                   .arg(target),
                               QStringLiteral("把组%1 的%2目标提高到 %3，或把其中 %4 人固定到别的组")
                                   .arg(it.key())
                                   .arg(gender)
                                   .arg(it->size())
                                   .arg(it->size() - target));
            f.groups = {it.key()};
            f.persons = *it;
        }
    }
}

} // namespace

QList<Finding> checkSettings(const ClassModel &model)
{
    SettingsContext context(model);
    if (context.enabled.isEmpty()) {
        context.add(FindingKind::NoEnabledGroup, FindingSeverity::WillFail, QStringLiteral("没有启用的分组"),
                    QStringLiteral("在“分组设置”中至少启用一个组"));
        checkRoster(context);
    } else {
        checkSeats(context);
        checkGenderTargets(context, true);
        checkGenderTargets(context, false);
        checkGroupTargets(context);
        checkRequirementSettings(context);
        checkPins(context);
        checkRoster(context);
    }
    std::stable_sort(context.findings.begin(), context.findings.end(),
                     [](const Finding &a, const Finding &b) { return a.severity < b.severity; });
    return context.findings;
}

int countFindings(const QList<Finding> &findings, FindingSeverity severity)
{
    return int(std::count_if(findings.cbegin(), findings.cend(),
                             [severity](const Finding &finding) { return finding.severity == severity; }));
}

SettingsSummary summarizeSettings(const ClassModel &model)
{
    const SettingsContext context(model);
    SettingsSummary summary;
    summary.seats = context.seats();
    summary.students = model.personCount();
    summary.boys = model.boyCount();
    summary.girls = model.personCount() - model.boyCount();
    for (int index : context.enabled) {
        summary.boysTarget += context.males(index);
        summary.girlsTarget += context.females(index);
    }
    return summary;
}

QString SettingsSummary::text() const
{
    return QStringLiteral("座位 %1/%2　男生目标 %3/%4　女生目标 %5/%6")
        .arg(seats)
        .arg(students)
        .arg(boysTarget)
        .arg(boys)
        .arg(girlsTarget)
        .arg(girls);
}
