#pragma once

#include "core/roster/tablefile.h"

#include <QList>
#include <QString>
#include <QStringList>

// Where the genders of an import come from.
struct GenderChoice
{
    enum Kind { Detected, Column, AllBoys, AllGirls };
    Kind kind = Detected;
    int column = -1; // 0-based, for Column

    friend bool operator==(const GenderChoice &a, const GenderChoice &b)
    {
        return a.kind == b.kind && (a.kind != Column || a.column == b.column);
    }
};

struct ImportedPerson
{
    QString name;
    QString number; // 学号; empty when the file has none
    bool leader = false;
    bool boarder = false;
    int row = 0;
};

// What a class list file means for the roster: the people in the order they
// will get their numbers, and everything the teacher should know first.
struct RosterImport
{
    int headerRow = 0;          // the file's row number of the header; 0 without one
    int nameColumn = 0;
    QStringList columnTitles;   // one per column, for choosing where genders come from
    // The choice in force; Detected when the file says nothing about genders
    // and the teacher has not chosen, so nobody can be imported yet.
    GenderChoice gender;
    QList<ImportedPerson> boys; // by 学号 when the file has them, else in file order
    QList<ImportedPerson> girls;
    // Whether the file says anything about leaders and boarders at all; a
    // file without such a column leaves those lists as they are.
    bool hasLeaderColumn = false;
    bool hasBoarderColumn = false;
    QList<RowProblem> problems; // ascending by row
    QString refusal;            // not empty: the file is refused, nothing is imported

    // Blocks of columns side by side (a two-up printout), read one after the other.
    int blockCount = 1;
    // Rows the file hides (a filtered export) below the header, and whether
    // they were read all the same.
    int hiddenRows = 0;
    bool hiddenIncluded = false;
    // Where digit codes of genders were explained, as the preview says it
    // ("1 为男、2 为女（第 2 行的说明）"); empty when none was needed.
    QString genderLegend;
    // Digit codes found in the gender column that nothing explains, and how
    // many rows were left out for them.
    QStringList unexplainedCodes;
    int unexplainedRows = 0;
    // How each lodging column was read, one sentence each.
    QStringList boarderReadings;

    bool needsGenderChoice() const { return gender.kind == GenderChoice::Detected; }
    bool canImport() const { return refusal.isEmpty() && !needsGenderChoice() && !(boys.isEmpty() && girls.isEmpty()); }
    QStringList boyNames() const;
    QStringList girlNames() const;
    QStringList leaderNames() const;
    QStringList boarderNames() const;
};

// Hidden rows are left out unless includeHidden.
RosterImport interpretRoster(const TableFile &table, const GenderChoice &choice = {}, bool includeHidden = false);

// What the preview says when digit codes stay unexplained: how to explain them.
QString unexplainedCodesAdvice(const RosterImport &import);
