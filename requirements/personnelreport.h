#pragma once

#include "model/classmodel.h"

#include <QList>
#include <QString>
#include <QStringList>

// Head counts of one group, or of the whole grouping.
struct PersonnelCounts
{
    int people = 0;
    int boys = 0;
    int girls = 0;
    int leaders = 0;
    int boarders = 0;

    PersonnelCounts &operator+=(const PersonnelCounts &other);
};

struct PersonnelReport
{
    // One entry per group position.
    QList<PersonnelCounts> groups;
    PersonnelCounts totals;
    QString html;
};

// Boys are told by number (1..number of boys), leaders and boarders by name,
// so a leader who boards counts in both columns.
PersonnelCounts countGroup(const ClassModel &model, const Group &group);
PersonnelReport buildPersonnelReport(const ClassModel &model);
// The same report as plain lines, the table's cells separated by tabs.
QStringList personnelReportText(const PersonnelReport &report);
