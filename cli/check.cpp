// `quorvane check`: the personnel figures and the requirement check of the
// last saved seating plan, read back through its template.
#include "cli/command.h"

#include "cli/plantemplate.h"
#include "core/storage/appdirectory.h"
#include "core/storage/classfile.h"
#include "core/workbook/planreadback.h"
#include "core/rules/constraintcheck.h"
#include "core/rules/personnelreport.h"

#include <QCommandLineParser>
#include <QDir>

namespace CommandLine {
namespace {

const QString kPlan = QStringLiteral("plan");

int runCheck(const QCommandLineParser &parser, Console &console)
{
    const QString configPath = configPathOf(parser);
    ClassFile file = readClassFile(configPath);
    if (!file.problem.isEmpty()) {
        console.fail(file.problem);
        if (const QString hint = missingClassHint(parser); !hint.isEmpty())
            console.fail(hint);
        return BadInput;
    }

    QString planPath = parser.value(kPlan);
    if (planPath.isEmpty()) {
        planPath = SeatPlan::latestSavedPlan(saveDirectory());
        if (planPath.isEmpty()) {
            console.print(QStringLiteral("没有已保存的座位表：%1 中没有“保存”写下的座位表")
                              .arg(QDir::toNativeSeparators(saveDirectory())));
            return Success;
        }
    }

    PlanTemplate plan = templateOfStyle(file.style);
    findTemplate(plan, configPath);
    if (!plan.problem.isEmpty()) {
        console.fail(plan.problem);
        return BadInput;
    }

    ClassModel &model = file.model;
    const SeatPlan::ReadBack readBack =
        SeatPlan::readArrangement(planPath, plan.path, model, int(model.enabledGroupIndexes().size()));
    if (!readBack.problem.isEmpty()) {
        console.fail(readBack.problem);
        return BadInput;
    }
    model.generatedGroups = readBack.groups;

    console.print(QStringLiteral("座位表: %1").arg(QDir::toNativeSeparators(planPath)));
    if (!readBack.unknownNames.isEmpty())
        console.print(QStringLiteral("不在名单中的姓名（未计入）: %1").arg(readBack.unknownNames.join(QStringLiteral("、"))));
    for (const QString &line : personnelReportText(buildPersonnelReport(model)))
        console.print(line);
    for (const QString &line : checkConstraintsAgainst(model, model.generatedGroups).lines)
        console.print(line);
    return Success;
}

} // namespace

Command checkCommand()
{
    return {QStringLiteral("check"),
            QStringLiteral("检查最近保存的座位表：人员统计和要求检查"),
            {
                configOption(),
                {kPlan, QStringLiteral("检查这个座位表，而不是最近一次“保存”的。"), QStringLiteral("FILE.xlsx")},
            },
            runCheck,
            {}};
}

} // namespace CommandLine
