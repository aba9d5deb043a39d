#include "settings/rosterupdate.h"

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
