#include "ui/common/reportdialog.h"

#include "ui/common/screenfit.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

void showReportDialog(QWidget *parent, const ReportDialog &report)
{
    QDialog dialog(parent);
    dialog.setObjectName(report.objectName);
    dialog.setWindowTitle(report.title);
    ScreenFit::resizeWithinScreen(&dialog, report.size);
    auto *layout = new QVBoxLayout(&dialog);

    auto *view = new QTextBrowser(&dialog);
    view->setObjectName(report.viewObjectName);
    view->setReadOnly(true);
    view->setHtml(report.html);
    layout->addWidget(view);

    auto *closeButton = new QPushButton(QStringLiteral("关闭"), &dialog);
    closeButton->setObjectName(QStringLiteral("closeButton"));
    closeButton->setDefault(true);
    QObject::connect(closeButton, &QPushButton::clicked, &dialog, &QDialog::accept);
    auto *buttonRow = new QHBoxLayout;
    buttonRow->addStretch();
    buttonRow->addWidget(closeButton);
    layout->addLayout(buttonRow);

    dialog.exec();
}
