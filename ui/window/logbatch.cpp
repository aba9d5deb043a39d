#include "ui/window/logbatch.h"

#include <QAbstractEventDispatcher>
#include <QScrollBar>
#include <QTextDocument>
#include <QTextEdit>

namespace {

bool batchingEnabled = true;

} // namespace

LogBatch::LogBatch(QTextEdit *view)
    : QObject(view)
    , m_view(view)
{
}

LogBatch::Scope::Scope(LogBatch *batch)
    : m_batch(batch)
{
    if (m_batch)
        ++m_batch->m_scopes;
}

LogBatch::Scope::~Scope()
{
    if (m_batch && --m_batch->m_scopes == 0)
        m_batch->flush();
}

void LogBatch::beforeAppend()
{
    if (m_scopes == 0 || !m_block.isNull() || !batchingEnabled)
        return;
    QScrollBar *scrollBar = m_view->verticalScrollBar();
    m_followEnd = scrollBar->value() >= scrollBar->maximum();
    m_block = QTextCursor(m_view->document());
    m_block.beginEditBlock();
    // The event loop must never see the block open: a widget painted then
    // would show the log without the lines of the block.
    if (QAbstractEventDispatcher *dispatcher = QAbstractEventDispatcher::instance()) {
        m_awake = connect(dispatcher, &QAbstractEventDispatcher::awake, this, &LogBatch::flush);
        m_aboutToBlock = connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &LogBatch::flush);
    }
}

void LogBatch::flush()
{
    if (m_block.isNull())
        return;
    disconnect(m_awake);
    disconnect(m_aboutToBlock);
    m_block.endEditBlock();
    m_block = QTextCursor();
    if (m_followEnd) {
        QScrollBar *scrollBar = m_view->verticalScrollBar();
        scrollBar->setValue(scrollBar->maximum());
    }
}

void LogBatch::setEnabledForTesting(bool enabled)
{
    batchingEnabled = enabled;
}
