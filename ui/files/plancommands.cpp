// Printing the seating plan and saving it as PDF, drawn from the current
// arrangement without a spreadsheet program.
#include "ui/window/mainwindow.h"

#include "core/storage/appdirectory.h"
#include "print/planpainter.h"
#include "core/workbook/seatplanexport.h"

#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QToolBar>
#include <QUrl>

namespace {

const QString kStudentView = QStringLiteral("学生视角");
const QString kTeacherView = QStringLiteral("教师视角");
// The view is chosen with the file type of the save dialog: one step.
const QString kStudentPdfFilter = kStudentView + QStringLiteral(" PDF (*.pdf)");
const QString kTeacherPdfFilter = kTeacherView + QStringLiteral(" PDF (*.pdf)");

} // namespace

bool MainWindow::hasGroupingToSave()
{
    if (!model.generatedGroups.isEmpty())
        return true;
    QMessageBox::warning(this, QStringLiteral("错误"), QStringLiteral("没有分组数据可保存"));
    return false;
}

void MainWindow::printSeatingPlan()
{
    if (!hasGroupingToSave())
        return;
    const SeatingPlan plan = seatingPlanOf(model, SeatPlan::planDate());

    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(seatingPlanPageLayout());
    QPrintPreviewDialog dialog(&printer, this);
    auto *viewChoice = new QComboBox(&dialog);
    viewChoice->setObjectName(QStringLiteral("planViewCombo"));
    viewChoice->addItems({kStudentView, kTeacherView});
    if (auto *toolBar = dialog.findChild<QToolBar *>()) {
        toolBar->addSeparator();
        toolBar->addWidget(viewChoice);
    }
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this, [&plan, viewChoice](QPrinter *target) {
        paintSeatingPlan(*target, plan, viewChoice->currentIndex() == 1 ? PlanView::Teacher : PlanView::Student);
    });
    if (auto *preview = dialog.findChild<QPrintPreviewWidget *>())
        connect(viewChoice, &QComboBox::currentIndexChanged, preview, &QPrintPreviewWidget::updatePreview);
    dialog.exec();
}

void MainWindow::exportSeatingPlanPdf()
{
    if (!hasGroupingToSave())
        return;
    QString filter = kStudentPdfFilter;
    const QString proposed = fileDialogDirectory() + u'/' + SeatPlan::timeStamp() + QStringLiteral("_座位表.pdf");
    QString fileName = QFileDialog::getSaveFileName(this, QStringLiteral("导出PDF"), proposed,
                                                    kStudentPdfFilter + QStringLiteral(";;") + kTeacherPdfFilter,
                                                    &filter);
    if (fileName.isEmpty())
        return;
    fileName = SeatPlan::withPdfSuffix(fileName);
    const PlanView view = filter == kTeacherPdfFilter ? PlanView::Teacher : PlanView::Student;
    const SeatingPlan plan = seatingPlanOf(model, SeatPlan::planDate());
    const QString error = saveSeatingPlanPdf(fileName, plan, view);
    if (!error.isEmpty()) {
        QMessageBox::critical(this, QStringLiteral("错误"), QStringLiteral("导出失败: %1").arg(error));
        return;
    }
    QDesktopServices::openUrl(QUrl::fromLocalFile(fileName));
    logMessage(QStringLiteral("座位表已导出为PDF: ") + QDir::toNativeSeparators(fileName));
    noteExport(QDir::toNativeSeparators(fileName));
}
