#include "core/roster/importsummary.h"

#include <QSet>

ImportSummary summarizeImport(const RosterImport &import)
{
    ImportSummary summary;
    if (!import.refusal.isEmpty()) {
        summary.lines.append(import.refusal);
        summary.alert = true;
        return summary;
    }
    if (import.needsGenderChoice()) {
        summary.lines.append(QStringLiteral("文件中没有性别列。请在上方选择性别所在的列，或“全部为男生”、“全部为女生”。"));
        summary.alert = true;
        return summary;
    }
    QString counts = QStringLiteral("将导入男生 %1 名、女生 %2 名，其中组长 %3 名、外宿生 %4 名。")
                         .arg(import.boys.size())
                         .arg(import.girls.size())
                         .arg(import.leaderNames().size())
                         .arg(import.boarderNames().size());
    if (!import.hasLeaderColumn && !import.hasBoarderColumn)
        counts += QStringLiteral("文件中没有组长和外宿生两栏，这两份名单不变。");
    else if (!import.hasLeaderColumn)
        counts += QStringLiteral("文件中没有组长一栏，组长名单不变。");
    else if (!import.hasBoarderColumn)
        counts += QStringLiteral("文件中没有外宿生一栏，外宿生名单不变。");
    summary.lines.append(counts);
    if (import.blockCount > 1)
        summary.lines.append(QStringLiteral("名单分为并排的 %1 栏，按从左到右、每栏从上到下的顺序读取。").arg(import.blockCount));
    if (!import.genderLegend.isEmpty())
        summary.lines.append(import.genderLegend);
    summary.lines += import.boarderReadings;
    if (const QString hidden = hiddenRowsSentence(import); !hidden.isEmpty())
        summary.lines.append(hidden);
    if (const QString advice = unexplainedCodesAdvice(import); !advice.isEmpty()) {
        summary.lines.append(advice);
        summary.alert = true;
    }
    return summary;
}

QString hiddenRowsSentence(const RosterImport &import)
{
    if (import.hiddenRows == 0)
        return QString();
    return import.hiddenIncluded ? QStringLiteral("文件中隐藏的 %1 行也已读取。").arg(import.hiddenRows)
                                 : QStringLiteral("文件中有 %1 行被隐藏（如筛选掉的其他班学生），未导入。").arg(import.hiddenRows);
}

RosterReplacement replaceRoster(const ClassModel &current, const RosterImport &import)
{
    RosterReplacement replacement;
    ClassModel &model = replacement.model;
    model = current;
    model.maleNames = import.boyNames();
    model.femaleNames = import.girlNames();
    if (import.hasLeaderColumn) {
        const QStringList leaders = import.leaderNames();
        model.leaderNames = QSet<QString>(leaders.begin(), leaders.end());
    }
    if (import.hasBoarderColumn) {
        const QStringList boarders = import.boarderNames();
        model.boarderNames = QSet<QString>(boarders.begin(), boarders.end());
    }
    const ClassModel renumbered = ClassModel::fromRoster(model.maleNames, model.femaleNames);
    replacement.remap = remapFixedPositions(current.fixedPositions, current.idToName, renumbered.nameToId,
                                            renumbered.idToName);
    model.fixedPositions = replacement.remap.positions;
    model.generatedGroups.clear();
    model.rebuildNameMaps();
    return replacement;
}
