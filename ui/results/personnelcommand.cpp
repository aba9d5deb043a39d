// The personnel report dialog of "人员检查".
#include "ui/window/mainwindow.h"

#include "core/rules/personnelreport.h"
#include "ui/common/reportdialog.h"

#include <QMessageBox>

void MainWindow::checkPersonnel()
{
    if (model.generatedGroups.isEmpty()) {
        QMessageBox::warning(this, QStringLiteral("错误"), QStringLiteral("请先生成分组结果"));
        return;
    }
    const PersonnelReport report = buildPersonnelReport(model);

    showReportDialog(this, ReportDialog{QStringLiteral("personnelReportDialog"), QStringLiteral("personnelReportView"),
                                        QStringLiteral("人员检查报告"), QSize(350, 400), report.html});
}
