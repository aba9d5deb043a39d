#pragma once

#include "core/model/classmodel.h"
#include "core/rules/requirementcheck.h"

#include <QList>
#include <QString>
#include <QStringList>

struct PersonnelReport
{
    // One entry per group position.
    QList<PersonnelCounts> groups;
    PersonnelCounts totals;
    QString html;
};

// The counts are those of checkRequirements, so the report and the checks
// never disagree on who is a boy, a leader or a boarder.
PersonnelReport buildPersonnelReport(const ClassModel &model);
// The same report as plain lines, the table's cells separated by tabs.
QStringList personnelReportText(const PersonnelReport &report);
