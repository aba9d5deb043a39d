#include "core/model/classmodel.h"

#include <algorithm>

GroupConfig defaultGroupConfig(int index)
{
    GroupConfig config;
    if (index == kGroupCount - 1) {
        config.enabled = false;
        config.total = 0;
    }
    return config;
}

QList<GroupConfig> defaultGroupConfigs()
{
    QList<GroupConfig> configs;
    for (int i = 0; i < kGroupCount; ++i)
        configs.append(defaultGroupConfig(i));
    return configs;
}

QMap<PersonId, int> personGroupMap(const Grouping &groups)
{
    QMap<PersonId, int> map;
    for (int p = 0; p < groups.size(); ++p) {
        for (PersonId id : groups.at(p))
            map.insert(id, p);
    }
    return map;
}

ClassModel ClassModel::fromRoster(const QStringList &boys, const QStringList &girls)
{
    ClassModel model;
    model.maleNames = boys;
    model.femaleNames = girls;
    model.rebuildNameMaps();
    return model;
}

void ClassModel::rebuildNameMaps()
{
    nameToId.clear();
    idToName.clear();
    PersonId next = 1;
    for (const QStringList *names : {&maleNames, &femaleNames}) {
        for (const QString &name : *names) {
            nameToId.insert(name, next);
            idToName.insert(next, name);
            ++next;
        }
    }
}

QList<int> ClassModel::enabledGroupIndexes() const
{
    QList<int> indexes;
    for (int i = 0; i < groupConfigs.size(); ++i) {
        if (groupConfigs.at(i).enabled)
            indexes.append(i);
    }
    return indexes;
}

int ClassModel::groupNumberOfPosition(int position) const
{
    const QList<int> enabled = enabledGroupIndexes();
    return position >= 0 && position < enabled.size() ? enabled.at(position) + 1 : 0;
}

int ClassModel::positionOfGroupNumber(int groupNumber) const
{
    return groupNumber >= 1 ? int(enabledGroupIndexes().indexOf(groupNumber - 1)) : -1;
}

QStringList sortedNames(const QSet<QString> &names)
{
    QStringList list(names.begin(), names.end());
    std::sort(list.begin(), list.end());
    return list;
}
