#include "ui/settings/settingscheckdialog.h"

#include "ui/common/reportdialog.h"
#include "core/rules/settingscheck.h"

namespace {

QString severityColour(FindingSeverity severity)
{
    switch (severity) {
    case FindingSeverity::WillFail:
        return QStringLiteral("#c00000");
    case FindingSeverity::MayFail:
        return QStringLiteral("#b35900");
    case FindingSeverity::Hint:
        break;
    }
    return QStringLiteral("#555555");
}

// Names come from the roster as typed, so every text is escaped.
QString findingsHtml(const QList<Finding> &findings)
{
    if (findings.isEmpty())
        return QStringLiteral("<p>没有发现问题。</p>");
    QString html = QStringLiteral("<p>共 %1 项：将无法满足 %2 项，可能无法满足 %3 项，提示 %4 项</p>")
                       .arg(findings.size())
                       .arg(countFindings(findings, FindingSeverity::WillFail))
                       .arg(countFindings(findings, FindingSeverity::MayFail))
                       .arg(countFindings(findings, FindingSeverity::Hint));
    for (const Finding &finding : findings) {
        html += QStringLiteral("<p><span style='color:%1; font-weight:bold;'>[%2]</span> %3<br>"
                               "<span style='color:#555555;'>修改：%4</span></p>")
                    .arg(severityColour(finding.severity), severityText(finding.severity),
                         finding.sentence.toHtmlEscaped(), finding.remedy.toHtmlEscaped());
    }
    return html;
}

} // namespace

void showSettingsFindings(QWidget *parent, const QList<Finding> &findings)
{
    showReportDialog(parent, ReportDialog{QStringLiteral("settingsFindingsDialog"), QStringLiteral("settingsFindingsView"),
                                          QStringLiteral("检查设置"), QSize(560, 420), findingsHtml(findings)});
}
