// "导入班级..." and "导出班级...": a whole class to and from a file.
#include "ui/window/mainwindow.h"

#include "core/storage/classexchange.h"
#include "core/storage/configstore.h"
#include "core/workbook/seatplanexport.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QTableWidget>

void MainWindow::exportClass()
{
    QString path = QFileDialog::getSaveFileName(this, QStringLiteral("导出班级"),
                                                SeatPlan::timeStamp() + QStringLiteral("_班级.ini"), kClassFileFilter);
    if (path.isEmpty())
        return;
    if (!path.endsWith(QStringLiteral(".ini"), Qt::CaseInsensitive))
        path += QStringLiteral(".ini");
    const QString problem =
        writeClassFile(path, model, currentStyle, ConfigStore::readCustomTemplatePath(configPath));
    if (!problem.isEmpty()) {
        QMessageBox::warning(this, QStringLiteral("错误"),
                             QStringLiteral("班级无法导出到 %1: %2").arg(QDir::toNativeSeparators(path), problem));
        return;
    }
    logMessage(QStringLiteral("班级已导出到: ") + QDir::toNativeSeparators(path));
}

void MainWindow::importClass()
{
    const QString path =
        QFileDialog::getOpenFileName(this, QStringLiteral("导入班级"), QString(), kClassFileFilter);
    if (path.isEmpty())
        return;
    const ImportedClass imported = readClassForImport(path);
    if (!imported.file.problem.isEmpty()) {
        QMessageBox::warning(this, QStringLiteral("错误"), QStringLiteral("无法导入班级: %1").arg(imported.file.problem));
        return;
    }
    if (QMessageBox::question(this, QStringLiteral("确认"),
                              QStringLiteral("导入将替换当前的名单、分组设置、要求和固定位置。是否继续?"),
                              QMessageBox::Yes | QMessageBox::No)
        != QMessageBox::Yes)
        return;

    // The grouping goes with the class it was made from.
    model = imported.file.model;
    currentStyle = imported.file.style;
    currentRecord = 0;
    const bool written = ConfigStore::writeSettings(configPath, model, currentStyle, imported.customPath);
    refreshConstraintTable();
    resultTable->setRowCount(0);
    logMessage(QStringLiteral("已从 %1 导入班级: %2 名男生, %3 名女生")
                   .arg(QDir::toNativeSeparators(path))
                   .arg(model.maleNames.size())
                   .arg(model.femaleNames.size()));
    if (!written) {
        QMessageBox::warning(this, QStringLiteral("错误"),
                             QStringLiteral("班级无法保存到文件 %1\n导入只在本次运行中有效，重新启动后将恢复原来的班级。")
                                 .arg(QDir::toNativeSeparators(configPath)));
    }
}
