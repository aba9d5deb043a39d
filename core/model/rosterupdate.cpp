#include "core/model/rosterupdate.h"

QStringList nonEmptyLines(const QString &text)
{
    return text.split(u'\n', Qt::SkipEmptyParts);
}

FixedPositionRemap remapFixedPositions(const QMap<PersonId, FixedPosition> &positions,
                                       const QMap<PersonId, QString> &oldIdToName,
                                       const QMap<QString, PersonId> &newNameToId,
                                       const QMap<PersonId, QString> &newIdToName)
{
    FixedPositionRemap remap;
    for (auto it = positions.cbegin(); it != positions.cend(); ++it) {
        const auto oldName = oldIdToName.constFind(it.key());
        const bool namedBefore = oldName != oldIdToName.cend();
        const auto newId = namedBefore ? newNameToId.constFind(oldName.value()) : newNameToId.cend();
        bool keep = false;
        PersonId target = it.key();
        if (namedBefore && newIdToName.value(it.key()) == oldName.value()) {
            keep = true; // same student under the same number
        } else if (namedBefore && newId != newNameToId.cend()) {
            keep = true;
            target = newId.value();
        } else if (!namedBefore) {
            keep = !newIdToName.contains(it.key());
        }
        // A name listed twice leads two old numbers to one new number: the
        // first pin (ascending number) keeps it.
        if (!keep || remap.positions.contains(target)) {
            ++remap.dropped;
            continue;
        }
        remap.positions.insert(target, it.value());
        if (target != it.key())
            ++remap.renumbered;
    }
    return remap;
}

ClassModel draftSettings(const ClassModel &current, const SettingsEdits &edits)
{
    ClassModel draft = ClassModel::fromRoster(nonEmptyLines(edits.maleText), nonEmptyLines(edits.femaleText));
    const QStringList leaders = nonEmptyLines(edits.leaderText);
    const QStringList boarders = nonEmptyLines(edits.boarderText);
    draft.leaderNames = QSet<QString>(leaders.begin(), leaders.end());
    draft.boarderNames = QSet<QString>(boarders.begin(), boarders.end());
    draft.groupConfigs = edits.groupConfigs;
    draft.fixedPositions =
        remapFixedPositions(current.fixedPositions, current.idToName, draft.nameToId, draft.idToName).positions;

    const auto follow = [&](const QList<Constraint> &requirements) {
        QList<Constraint> moved;
        for (const Constraint &requirement : requirements) {
            Constraint members;
            for (PersonId id : requirement) {
                const auto name = current.idToName.constFind(id);
                if (name == current.idToName.cend() || draft.idToName.value(id) == name.value())
                    members.append(id);
                else if (const auto now = draft.nameToId.constFind(name.value()); now != draft.nameToId.cend())
                    members.append(now.value());
            }
            moved.append(members);
        }
        return moved;
    };
    draft.mustTogether = follow(current.mustTogether);
    draft.mustSeparate = follow(current.mustSeparate);
    return draft;
}
