#pragma once

#include "core/model/classmodel.h"
#include "core/rules/settingsfinding.h"

#include <QList>
#include <QMap>
#include <QString>

#include <algorithm>

// What the parts of the settings check share: the model read with negative
// counts taken as 0, the pins that can be honoured, and the findings so far.
class SettingsContext
{
public:
    explicit SettingsContext(const ClassModel &model);

    const ClassModel &model;
    QList<int> enabled; // configuration indexes, ascending
    // Pins of roster members on an enabled group and a seat it has.
    QMap<PersonId, FixedPosition> validPins;
    QList<Finding> findings;

    int total(int index) const { return std::max(0, model.groupConfigs.at(index).total); }
    int males(int index) const { return std::max(0, model.groupConfigs.at(index).males); }
    int females(int index) const { return std::max(0, model.groupConfigs.at(index).females); }
    int seats() const;

    Finding &add(FindingKind kind, FindingSeverity severity, const QString &sentence, const QString &remedy);

    // "张三、李四"
    QString names(const QList<PersonId> &persons) const;
};

// "组2、组5" for configuration indexes.
QString groupList(const QList<int> &indexes);

// The parts of the check on requirements (core/rules/togethercheck.cpp).
void checkRequirementSettings(SettingsContext &context);
