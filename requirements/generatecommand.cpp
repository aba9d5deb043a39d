// The "生成分组" command: runs the engine under a busy dialog and shows the result.
#include "app/mainwindow.h"

#include "app/logbatch.h"
#include "config/historybook.h"
#include "engine/engine.h"
#include "requirements/arrangementrecord.h"
#include "requirements/settingscheck.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QProgressDialog>
#include <QStatusBar>

#include <exception>
#include <memory>

Grouping MainWindow::buildGroups(quint32 seed, const Grouping &previous)
{
    if (model.enabledGroupIndexes().isEmpty()) {
        QMessageBox::warning(this, QStringLiteral("错误"), QStringLiteral("没有启用的分组"));
        return {};
    }
    // Everything the run draws follows from its one seed, so the history's
    // seed repeats it, here and on the command line.
    return Engine::generateFromSeed(model, [this](const QString &line) { appendPlainLog(line); }, seed, previous);
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
    generateWith(std::nullopt, 0);
}

void MainWindow::generateWith(std::optional<quint32> seed, int avoidRecord)
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

        const quint32 runSeed = seed ? *seed : seedSource ? seedSource() : platformSeedSource()();
        const LastArrangement last =
            model.avoidLastGroupmates ? lastArrangement(openHistory(), model, avoidRecord) : LastArrangement();
        Grouping groups = buildGroups(runSeed, last.groups);
        model.generatedGroups = std::move(groups);
        refreshResultTable();

        progress.reset();
        logMessage(QStringLiteral("分组生成完成"));
        recordGeneration(runSeed, last.record);
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
