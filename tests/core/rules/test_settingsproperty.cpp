// The settings check against the engine over random classes and seeds: what
// the engine fails at was foreseen, and what the check calls impossible the
// engine never achieves.
#include "common/enginefixtures.h"

#include "core/engine/engine.h"
#include "core/rules/requirementcheck.h"
#include "core/rules/settingscheck.h"

#include <QSet>
#include <QTest>

using namespace Fixtures;

namespace {

constexpr int kSeedsPerClass = 4;

// 300 classes keep ctest quick; QUORVANE_PROPERTY_CLASSES and
// QUORVANE_PROPERTY_SEED ask for longer runs by hand.
int classCount()
{
    const int asked = qEnvironmentVariableIntValue("QUORVANE_PROPERTY_CLASSES");
    return asked > 0 ? asked : 300;
}

// Mostly classes a teacher would set up in the dialog (girls' target = seats
// minus boys' target, roster close to the seats), some hand-edited, with a
// few leaders, requirements and pins, so that both outcomes are common.
ClassModel randomClass(std::mt19937 &random)
{
    auto draw = [&random](int low, int high) { return low + int(drawBelow(random, quint32(high - low + 1))); };
    QList<int> indexes{0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    shuffleList(indexes, random);
    QList<GroupConfig> configs;
    int boys = 0;
    int girls = 0;
    for (int n = draw(1, 5); n > 0; --n) {
        GroupConfig config{true, draw(2, 6), 0, 0};
        config.males = draw(0, config.total);
        config.females = draw(0, 5) == 0 ? draw(0, config.total) : config.total - config.males;
        boys += config.males;
        girls += config.females;
        configs.append(config);
    }
    boys = std::max(0, boys + (draw(0, 3) == 0 ? draw(-1, 1) : 0));
    girls = std::max(0, girls + (draw(0, 3) == 0 ? draw(-1, 1) : 0));

    ClassModel model = makeClass(names(QStringLiteral("b"), boys), names(QStringLiteral("g"), girls));
    for (int i = 0; i < configs.size(); ++i)
        model.groupConfigs[indexes.at(i)] = configs.at(i);
    const int persons = model.personCount();
    if (persons == 0)
        return model;
    auto anyPerson = [&] { return PersonId(draw(1, persons)); };
    for (int n = draw(0, int(configs.size()) + 1); n > 0; --n)
        model.leaderNames.insert(model.nameOf(anyPerson()));
    for (int n = draw(0, 3); n > 0; --n)
        model.boarderNames.insert(model.nameOf(anyPerson()));
    for (QList<Constraint> *list : {&model.mustTogether, &model.mustSeparate}) {
        for (int n = draw(0, 3) - 1; n > 0; --n) {
            Constraint members;
            for (int m = draw(2, 4); m > 0; --m)
                members.append(anyPerson());
            list->append(members);
        }
    }
    for (int n = draw(0, 4) - 2; n > 0; --n) {
        const int group = draw(0, 4) == 0 ? draw(1, kGroupCount) : indexes.at(draw(0, int(configs.size()) - 1)) + 1;
        model.fixedPositions.insert(anyPerson(), FixedPosition{group, draw(1, 7)});
    }
    return model;
}

bool has(const QList<Finding> &findings, const QSet<FindingKind> &kinds)
{
    return std::any_of(findings.cbegin(), findings.cend(),
                       [&kinds](const Finding &finding) { return kinds.contains(finding.kind); });
}

// Everything the check speaks of: seats, targets, requirements, pins, and no
// group with two leaders (groups without one are only a hint).
bool meetsEverything(const RequirementCheck &check)
{
    return std::all_of(check.results.cbegin(), check.results.cend(), [](const RequirementResult &result) {
        return result.met || (result.kind == RequirementKind::Leaders && result.actual == 0);
    });
}

// The engine seats requirement groups by sweeps instead of targets, and with
// more than one such group the targets can fail on settings that allow them;
// that is the engine's to mend, not a cause the check claims to foresee.
bool targetsAreTheChecksToForesee(const ClassModel &model)
{
    return model.mustTogether.isEmpty()
           || (model.mustTogether.size() == 1 && rosterMembers(model, model.mustTogether.first()).size() >= 2);
}

QString describe(const ClassModel &model, quint32 seed)
{
    QStringList groups;
    for (int i = 0; i < kGroupCount; ++i) {
        const GroupConfig &c = model.groupConfigs.at(i);
        if (c.enabled)
            groups.append(QStringLiteral("%1:%2/%3/%4").arg(i + 1).arg(c.total).arg(c.males).arg(c.females));
    }
    QStringList pins;
    for (auto it = model.fixedPositions.cbegin(); it != model.fixedPositions.cend(); ++it)
        pins.append(QStringLiteral("%1->%2-%3").arg(it.key()).arg(it->group).arg(it->seat));
    auto lists = [](const QList<Constraint> &list) {
        QStringList out;
        for (const Constraint &c : list) {
            QStringList ids;
            for (PersonId id : c)
                ids.append(QString::number(id));
            out.append(ids.join(u','));
        }
        return out.join(u' ');
    };
    return QStringLiteral("seed %1; boys %2 girls %3; groups %4; leaders %5; together %6; separate %7; pins %8")
        .arg(seed)
        .arg(model.boyCount())
        .arg(model.personCount() - model.boyCount())
        .arg(groups.join(u' '), sortedNames(model.leaderNames).join(u','), lists(model.mustTogether),
             lists(model.mustSeparate), pins.join(u' '));
}

} // namespace

class TestSettingsProperty : public QObject
{
    Q_OBJECT

private slots:
    void engineFailuresWereForeseen();
};

void TestSettingsProperty::engineFailuresWereForeseen()
{
    const QSet<FindingKind> targetCauses{
        FindingKind::BoysTargetsOff,          FindingKind::GirlsTargetsOff,     FindingKind::GroupTargetsOverTotal,
        FindingKind::GroupSeatsBeyondTargets, FindingKind::SeatsSpare,          FindingKind::PinnedGenderOverTarget,
        FindingKind::PinnedSeatShared,        FindingKind::TogetherTooLarge,    FindingKind::TogetherGenderTooLarge,
        FindingKind::TogetherFitsNoGroup,     FindingKind::TogetherFitsFewGroups, FindingKind::TogetherNeedOwnGroups,
        FindingKind::PinnedTogetherApart};
    const int classes = classCount();
    std::mt19937 random(qEnvironmentVariableIsSet("QUORVANE_PROPERTY_SEED")
                            ? quint32(qEnvironmentVariableIntValue("QUORVANE_PROPERTY_SEED"))
                            : 20240314u);
    int unseated = 0;
    int targetsMissed = 0;
    int allMet = 0;
    for (int n = 0; n < classes; ++n) {
        const ClassModel model = randomClass(random);
        const QList<Finding> findings = checkSettings(model);
        const int impossible = countFindings(findings, FindingSeverity::WillFail);
        for (quint32 seed = 1; seed <= kSeedsPerClass; ++seed) {
            const Grouping groups = Engine::buildGroups(model, {}, CountingSeeds(seed * 7919u + quint32(n)).source());
            const RequirementCheck check = checkRequirements(model, groups);
            const QString where = describe(model, seed);
            if (!check.allMet(RequirementKind::Seated)) {
                ++unseated;
                QVERIFY2(has(findings, {FindingKind::SeatsShort}), qPrintable(where));
            }
            if (targetsAreTheChecksToForesee(model)
                && (!check.allMet(RequirementKind::BoysTarget) || !check.allMet(RequirementKind::GirlsTarget))) {
                ++targetsMissed;
                QVERIFY2(has(findings, targetCauses), qPrintable(where));
            }
            if (meetsEverything(check)) {
                ++allMet;
                if (impossible > 0)
                    QFAIL(qPrintable(where + QStringLiteral("; claimed: ") + findings.first().sentence));
            }
        }
    }
    // Each side of the property was put to the test.
    QVERIFY(unseated > 0);
    QVERIFY(targetsMissed > 0);
    QVERIFY2(allMet > classes / 10, qPrintable(QString::number(allMet)));
    qInfo("%d runs: %d left somebody unseated, %d missed a target, %d met everything", classes * kSeedsPerClass,
          unseated, targetsMissed, allMet);
}

QTEST_GUILESS_MAIN(TestSettingsProperty)
#include "test_settingsproperty.moc"
