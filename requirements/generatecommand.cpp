// The "生成分组" command: runs the engine under a busy dialog and shows the result.
#include "app/mainwindow.h"

#include "app/logbatch.h"
#include "engine/generation.h"
#include "requirements/settingscheck.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QProgressDialog>
#include <QStatusBar>

#include <exception>
#include <memory>

Grouping MainWindow::buildGroups()
{
    if (model.enabledGroupIndexes().isEmpty()) {
        QMessageBox::warning(this, QStringLiteral("错误"), QStringLiteral("没有启用的分组"));
        return {};
    }
    Engine::GenerationOptions options;
    options.tries = model.generationTries;
    options.trySeeds = seedSource;
    return Engine::generate(model, [this](const QString &line) { appendPlainLog(line); }, options).groups;
}

void MainWindow::showSettingsNotice()
{
    // The log's lines are fixed; the status bar tells where the causes are
    // explained, until the next outcome line replaces it.
    const int problems = countFindings(checkSettings(model), FindingSeverity::WillFail);
    if (problems > 0)
        statusBar()->showMessage(QStringLiteral("设置存在 %1 个问题，请在设置中点击“检查设置”查看").arg(problems));
}

void MainWindow::generateGroups()
{
    const LogBatch::Scope batch(logBatch);
    std::unique_ptr<QProgressDialog> progress;
    try {
        progress = std::make_unique<QProgressDialog>(QStringLiteral("正在生成分组..."), QStringLiteral("取消"), 0, 0,
                                                     this);
        progress->setWindowModality(Qt::WindowModal);
        progress->setCancelButton(nullptr);
        progress->show();
        QCoreApplication::processEvents();

        Grouping groups = buildGroups();
        model.generatedGroups = std::move(groups);
        refreshResultTable();

        progress.reset();
        logMessage(QStringLiteral("分组生成完成"));
        showSettingsNotice();
    } catch (const std::exception &error) {
        progress.reset();
        QMessageBox::critical(this, QStringLiteral("错误"),
                              QStringLiteral("生成分组时发生错误: %1").arg(QString::fromUtf8(error.what())));
    } catch (...) {
        progress.reset();
        QMessageBox::critical(this, QStringLiteral("错误"), QStringLiteral("生成分组时发生未知错误"));
    }
}
