// Commands of the shell itself: reset, the fixed-position hints and the
// release-page offer after a failed automatic check.
#include "ui/window/mainwindow.h"

#include "ui/window/logbatch.h"

#include <QMessageBox>

void MainWindow::resetAll()
{
    const LogBatch::Scope batch(logBatch);
    clearWorkingState();
}

void MainWindow::addFixedPosition()
{
    QMessageBox::information(this, QStringLiteral("提示"), QStringLiteral("固定位置功能已整合到设置对话框中"));
}

void MainWindow::clearFixedPositions()
{
    if (QMessageBox::question(this, QStringLiteral("确认"), QStringLiteral("确定要清空所有固定位置吗?"),
                              QMessageBox::Yes | QMessageBox::No)
        != QMessageBox::Yes)
        return;
    model.fixedPositions.clear();
    updateFixedPositionTable();
    logMessage(QStringLiteral("已清空所有固定位置"));
}

void MainWindow::manualUpdateCheck()
{
    offerReleasesPage(QStringLiteral("自动检查更新失败，是否要手动打开项目页面检查？"));
}
