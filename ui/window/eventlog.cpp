// The event log: stamped outcome lines and plain detail lines.
#include "ui/window/mainwindow.h"

#include "ui/window/logbatch.h"
#include "core/platform/clock.h"

#include <QLabel>
#include <QScrollBar>
#include <QStatusBar>
#include <QTableWidget>
#include <QTextCursor>
#include <QTextEdit>

void MainWindow::logMessage(const QString &text)
{
    if (!statusLabel || !logView)
        return;
    const QString line = currentDateTime().toString(QStringLiteral("hh:mm:ss")) + QStringLiteral(" - ") + text;
    statusLabel->setText(line);
    statusBar()->clearMessage();
    appendPlainLog(line);
}

void MainWindow::appendLog(const QString &text)
{
    logBatch->beforeAppend();
    // QTextEdit::append guesses the format: markup becomes rich text.
    logView->append(text);
}

void MainWindow::appendPlainLog(const QString &text)
{
    logBatch->beforeAppend();
    // Follow new lines like QTextEdit::append does, unless the user scrolled up.
    QScrollBar *scrollBar = logView->verticalScrollBar();
    const bool atBottom = scrollBar->value() >= scrollBar->maximum();
    QTextCursor cursor(logView->document());
    cursor.movePosition(QTextCursor::End);
    if (!logView->document()->isEmpty())
        cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
    cursor.insertText(text, QTextCharFormat());
    if (atBottom)
        scrollBar->setValue(scrollBar->maximum());
}

void MainWindow::clearWorkingState()
{
    model.generatedGroups.clear();
    currentRecord = 0;
    model.mustTogether.clear();
    model.mustSeparate.clear();
    constraintTable->setRowCount(0);
    resultTable->setRowCount(0);
    logBatch->flush();
    logView->clear();
    logMessage(QStringLiteral("系统已重置"));
}
