// The seating-plan export and the file commands that write it.
#include "ui/window/mainwindow.h"

#include "core/storage/appdirectory.h"
#include "core/workbook/seatplanexport.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QTableWidget>
#include <QUrl>

namespace {

// The time-stamped name a save dialog proposes, in the folder it starts in.
QString proposedPlanName(const QString &suffix)
{
    const QString name = SeatPlan::timeStamp() + suffix;
    const QString directory = saveDialogDirectory();
    return directory.isEmpty() ? name : directory + u'/' + name;
}

} // namespace

void MainWindow::exportSeatingPlan()
{
    if (model.generatedGroups.isEmpty()) {
        QMessageBox::warning(this, QStringLiteral("错误"), QStringLiteral("请先生成分组结果"));
        return;
    }
    const QString fileName =
        QFileDialog::getSaveFileName(this, QStringLiteral("导出座位表"), QString(), SeatPlan::kFileFilter);
    if (fileName.isEmpty())
        return;
    if (writeSeatTable(fileName))
        logMessage(QStringLiteral("座位表已导出到: ") + fileName);
}

void MainWindow::newFile()
{
    model.generatedGroups = Grouping(9);
    currentRecord = 0;
    resultTable->setRowCount(0);
    resultTable->setRowCount(9);
    for (int row = 0; row < 9; ++row) {
        resultTable->setItem(row, 0, new QTableWidgetItem(QStringLiteral("组 %1").arg(row + 1)));
        for (int column = 1; column <= 6; ++column)
            resultTable->setItem(row, column, new QTableWidgetItem(QString()));
    }

    QString fileName = QFileDialog::getSaveFileName(this, QStringLiteral("保存空座位表"),
                                                    proposedPlanName(QStringLiteral("_空座位表.xlsx")),
                                                    SeatPlan::kFileFilter);
    if (fileName.isEmpty()) {
        logMessage(QStringLiteral("已创建新的空白座位表（未保存）"));
        return;
    }
    fileName = SeatPlan::withXlsxSuffix(fileName);
    if (writeSeatTable(fileName))
        logMessage(QStringLiteral("已创建新的空白座位表并保存到: ") + fileName);
}

void MainWindow::saveFile()
{
    if (model.generatedGroups.isEmpty()) {
        QMessageBox::warning(this, QStringLiteral("错误"), QStringLiteral("没有分组数据可保存"));
        return;
    }
    const QString directory = saveDirectory();
    // Installed, the plans go into a folder of their own under the documents.
    QDir().mkpath(directory);
    const QString path = directory + u'/' + SeatPlan::timeStamp() + QStringLiteral("_座位表.xlsx");
    if (writeSeatTable(path))
        logMessage(QStringLiteral("座位表已保存到: ") + path);
}

void MainWindow::saveAs()
{
    if (model.generatedGroups.isEmpty()) {
        QMessageBox::warning(this, QStringLiteral("错误"), QStringLiteral("没有分组数据可保存"));
        return;
    }
    QString fileName = QFileDialog::getSaveFileName(this, QStringLiteral("另存为"),
                                                    proposedPlanName(QStringLiteral("_座位表.xlsx")), SeatPlan::kFileFilter);
    if (fileName.isEmpty())
        return;
    fileName = SeatPlan::withXlsxSuffix(fileName);
    if (writeSeatTable(fileName))
        logMessage(QStringLiteral("座位表已另存为: ") + fileName);
}

bool MainWindow::writeSeatTable(const QString &fileName)
{
    SeatPlan::Reporter reporter;
    reporter.warning = [this](const QString &text) { QMessageBox::warning(this, QStringLiteral("错误"), text); };
    reporter.critical = [this](const QString &text) { QMessageBox::critical(this, QStringLiteral("错误"), text); };
    reporter.detail = [this](const QString &text) { appendPlainLog(text); };
    reporter.exported = [this](const QString &savePath) {
        const bool opened = QDesktopServices::openUrl(QUrl::fromLocalFile(QDir::fromNativeSeparators(savePath)));
        logMessage(QStringLiteral("座位表已导出到: ") + savePath);
        noteExport(savePath);
        // Without a spreadsheet program nothing opens: say where the plan is.
        if (!opened) {
            QMessageBox::information(this, QStringLiteral("提示"),
                                     QStringLiteral("座位表已保存到:\n%1\n\n这台电脑上没有能打开 .xlsx 文件的程序，所以没有自动打开。"
                                                    "可以把这个文件复制到装有 Excel 或 WPS 的电脑上打开，或用“文件” → “导出PDF...”另存为 PDF。")
                                         .arg(savePath));
        }
    };
    const SeatPlan::Source source{model, currentStyle, configPath, templateDirectory(), fallbackTemplateDirectory()};
    return SeatPlan::writeSeatTable(fileName, source, reporter);
}
