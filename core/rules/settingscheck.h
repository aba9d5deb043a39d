#pragma once

#include "core/model/classmodel.h"
#include "core/rules/settingsfinding.h"

#include <QList>
#include <QString>

// Checks the settings alone (roster, leaders, boarders, enabled groups with
// their seats and targets, requirements, pins; never a grouping) and lists
// what cannot or may not be met, most severe first. "Met" means what the
// requirement checker judges: everybody seated, every group's boys and girls
// equal to its targets, every requirement and pin met, no group with two
// leaders. A WillFail finding is a proof that this is impossible.
QList<Finding> checkSettings(const ClassModel &model);

// How many findings of a severity a list holds.
int countFindings(const QList<Finding> &findings, FindingSeverity severity);

// The counts of the settings dialog's summary line.
struct SettingsSummary
{
    int seats = 0;      // of the enabled groups
    int students = 0;   // on the roster
    int boysTarget = 0; // summed over the enabled groups
    int boys = 0;
    int girlsTarget = 0;
    int girls = 0;

    bool seatsOff() const { return seats != students; }
    bool boysOff() const { return boysTarget != boys; }
    bool girlsOff() const { return girlsTarget != girls; }
    bool isOff() const { return seatsOff() || boysOff() || girlsOff(); }
    // "座位 54/54　男生目标 24/24　女生目标 30/30"
    QString text() const;
};

SettingsSummary summarizeSettings(const ClassModel &model);
