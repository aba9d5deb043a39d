// The personnel report dialog of "人员检查".
#include "app/mainwindow.h"

#include "requirements/personnelreport.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

void MainWindow::checkPersonnel()
{
    if (model.generatedGroups.isEmpty()) {
        QMessageBox::warning(this, QStringLiteral("错误"), QStringLiteral("请先生成分组结果"));
        return;
    }
    const PersonnelReport report = buildPersonnelReport(model);

    QDialog dialog(this);
    dialog.setObjectName(QStringLiteral("personnelReportDialog"));
    dialog.setWindowTitle(QStringLiteral("人员检查报告"));
    dialog.resize(350, 400);
    auto *layout = new QVBoxLayout(&dialog);

    auto *view = new QTextBrowser(&dialog);
    view->setObjectName(QStringLiteral("personnelReportView"));
    view->setReadOnly(true);
    view->setHtml(report.html);
    layout->addWidget(view);

    auto *closeButton = new QPushButton(QStringLiteral("关闭"), &dialog);
    closeButton->setObjectName(QStringLiteral("closeButton"));
    connect(closeButton, &QPushButton::clicked, &dialog, &QDialog::accept);
    auto *buttonRow = new QHBoxLayout;
    buttonRow->addStretch();
    buttonRow->addWidget(closeButton);
    layout->addLayout(buttonRow);

    dialog.exec();
}
