#include "core/rules/personnelreport.h"

namespace {

const QStringList kColumns{QStringLiteral("组号"), QStringLiteral("人数"), QStringLiteral("男生"),
                           QStringLiteral("女生"), QStringLiteral("组长"), QStringLiteral("外宿生")};

QStringList figures(const QString &label, const PersonnelCounts &counts)
{
    return {label,
            QString::number(counts.people),
            QString::number(counts.boys),
            QString::number(counts.girls),
            QString::number(counts.leaders),
            QString::number(counts.boarders)};
}

QString peopleSummary(const PersonnelCounts &t)
{
    return QStringLiteral("总人数: %1 (男生: %2, 女生: %3)").arg(t.people).arg(t.boys).arg(t.girls);
}

QString marksSummary(const PersonnelCounts &t)
{
    return QStringLiteral("组长: %1, 外宿生: %2").arg(t.leaders).arg(t.boarders);
}

const QString kTotalLabel = QStringLiteral("总计");

} // namespace

PersonnelReport buildPersonnelReport(const ClassModel &model)
{
    PersonnelReport report;
    QString &html = report.html;
    html = QStringLiteral("<h2>人员检查报告</h2>");
    html += QStringLiteral("<table border='1' cellpadding='4'>");
    html += QStringLiteral("<tr><th>%1</th></tr>").arg(kColumns.join(QStringLiteral("</th><th>")));

    const RequirementCheck check = checkRequirements(model, model.generatedGroups);
    for (int p = 0; p < check.groups.size(); ++p) {
        const PersonnelCounts &counts = check.groups.at(p);
        report.groups.append(counts);
        report.totals += counts;
        html += QStringLiteral("<tr><td>%1</td></tr>")
                    .arg(figures(QString::number(p + 1), counts).join(QStringLiteral("</td><td>")));
    }

    const PersonnelCounts &t = report.totals;
    html += QStringLiteral("<tr style='background-color:#E6E6E6; font-weight:bold;'><td>%1</td></tr>")
                .arg(figures(kTotalLabel, t).join(QStringLiteral("</td><td>")));
    html += QStringLiteral("</table>");
    html += QStringLiteral("<p>%1</p>").arg(peopleSummary(t));
    html += QStringLiteral("<p>%1</p>").arg(marksSummary(t));
    return report;
}

QStringList personnelReportText(const PersonnelReport &report)
{
    QStringList lines{QStringLiteral("人员检查报告"), kColumns.join(u'\t')};
    for (int p = 0; p < report.groups.size(); ++p)
        lines.append(figures(QString::number(p + 1), report.groups.at(p)).join(u'\t'));
    lines.append(figures(kTotalLabel, report.totals).join(u'\t'));
    lines.append(peopleSummary(report.totals));
    lines.append(marksSummary(report.totals));
    return lines;
}
