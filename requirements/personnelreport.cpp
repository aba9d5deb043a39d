#include "requirements/personnelreport.h"

PersonnelReport buildPersonnelReport(const ClassModel &model)
{
    PersonnelReport report;
    QString &html = report.html;
    html = QStringLiteral("<h2>人员检查报告</h2>");
    html += QStringLiteral("<table border='1' cellpadding='4'>");
    html += QStringLiteral("<tr><th>组号</th><th>人数</th><th>男生</th><th>女生</th><th>组长</th><th>外宿生</th></tr>");

    const RequirementCheck check = checkRequirements(model, model.generatedGroups);
    for (int p = 0; p < check.groups.size(); ++p) {
        const PersonnelCounts &counts = check.groups.at(p);
        report.groups.append(counts);
        report.totals += counts;
        html += QStringLiteral("<tr><td>%1</td><td>%2</td><td>%3</td><td>%4</td><td>%5</td><td>%6</td></tr>")
                    .arg(p + 1)
                    .arg(counts.people)
                    .arg(counts.boys)
                    .arg(counts.girls)
                    .arg(counts.leaders)
                    .arg(counts.boarders);
    }

    const PersonnelCounts &t = report.totals;
    html += QStringLiteral("<tr style='background-color:#E6E6E6; font-weight:bold;'><td>总计</td><td>%1</td>"
                           "<td>%2</td><td>%3</td><td>%4</td><td>%5</td></tr>")
                .arg(t.people)
                .arg(t.boys)
                .arg(t.girls)
                .arg(t.leaders)
                .arg(t.boarders);
    html += QStringLiteral("</table>");
    html += QStringLiteral("<p>总人数: %1 (男生: %2, 女生: %3)</p>").arg(t.people).arg(t.boys).arg(t.girls);
    html += QStringLiteral("<p>组长: %1, 外宿生: %2</p>").arg(t.leaders).arg(t.boarders);
    return report;
}
