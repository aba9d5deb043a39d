// The "生成分组" command: runs the engine under a busy dialog and shows the result.
#include "ui/window/mainwindow.h"

#include "ui/window/logbatch.h"
#include "core/storage/historybook.h"
#include "core/engine/generation.h"
#include "core/storage/arrangementrecord.h"
#include "core/rules/settingscheck.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QProgressDialog>
#include <QStatusBar>

#include <exception>
#include <memory>

Engine::GenerationResult MainWindow::buildGroups(std::optional<quint32> seed, const Grouping &previous)
{
    if (model.enabledGroupIndexes().isEmpty()) {
        QMessageBox::warning(this, QStringLiteral("错误"), QStringLiteral("没有启用的分组"));
        return {};
    }
    // A seed names one try and replays it alone, here and on the command line.
    Engine::GenerationOptions options;
    options.tries = seed ? 1 : model.generationTries;
    options.trySeeds = seed ? SeedSource([value = *seed] { return value; }) : seedSource;
    options.previous = previous;
    options.useSolver = model.useSolver;
    return Engine::generate(model, [this](const QString &line) { appendPlainLog(line); }, options);
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
    generateWith(std::nullopt);
}

void MainWindow::generateWith(const std::optional<ArrangementRecord> &repeat)
{
    const LogBatch::Scope batch(logBatch);
    std::unique_ptr<QProgressDialog> progress;
    try {
        // No cancel text: the dialog never makes the cancel button it would
        // only have to remove again before it shows.
        progress = std::make_unique<QProgressDialog>(QStringLiteral("正在生成分组..."), QString(), 0, 0, this);
        progress->setWindowModality(Qt::WindowModal);
        progress->show();
        QCoreApplication::processEvents();

        // Read once per command: what is kept apart and where the run is recorded.
        std::optional<HistoryBook> history;
        LastArrangement last;
        if (model.avoidLastGroupmates) {
            history.emplace(openHistory());
            last = repeat ? avoidedBy(*history, model, *repeat) : lastArrangement(*history, model, 0);
        }
        const std::optional<quint32> seed = repeat ? std::optional<quint32>(repeat->seed) : std::nullopt;
        Engine::GenerationResult result = buildGroups(seed, last.groups);
        model.generatedGroups = std::move(result.groups);
        refreshResultTable();

        progress.reset();
        logMessage(QStringLiteral("分组生成完成"));
        // The kept try's seed, so that repeating it replays this arrangement.
        recordGeneration(history, result.seed, last.record, result.solver);
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
