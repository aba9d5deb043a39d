#pragma once

#include <QString>

// Which template a command's plan is made from, with problems worded for the
// command line (naming the files and folders looked at).
namespace CommandLine {

struct PlanTemplate
{
    QString style;          // a style name as config.ini stores it
    QString customTemplate; // for the custom style named on the command line
    QString path;           // the template found
    QString problem;        // empty when there is a template
};

// The value of --style: "1", "2" or a .xlsx file; anything else is a problem.
PlanTemplate templateFromOption(const QString &value);
// The class's own style from its configuration file.
PlanTemplate templateOfStyle(const QString &style);

// Fills in `path` (or `problem`) the way the export chooses its template.
void findTemplate(PlanTemplate &choice, const QString &configPath);

} // namespace CommandLine
