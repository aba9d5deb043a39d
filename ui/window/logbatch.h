#pragma once

#include <QMetaObject>
#include <QObject>
#include <QTextCursor>

class QTextEdit;

// Lays the event log out once per command instead of once per line: a long
// generation spends most of its time on screen laying out each appended line
// on its own.
//
// A command opens a LogBatch::Scope; the lines appended while it lives join
// one edit block of the log's document, laid out together when the outermost
// scope ends, with the view kept at the end if it was there. Whenever the
// event loop runs inside a command (a message box, the busy dialog painting)
// the block is closed first, so whatever shows then shows every line written
// before it; later lines open a new block. Without a scope every line is laid
// out as it comes, so a forgotten scope costs time, never a line.
class LogBatch : public QObject
{
public:
    // Lives as a child of the view.
    explicit LogBatch(QTextEdit *view);

    class Scope
    {
    public:
        explicit Scope(LogBatch *batch);
        ~Scope();
        Scope(const Scope &) = delete;
        Scope &operator=(const Scope &) = delete;

    private:
        LogBatch *m_batch;
    };

    // Every writer of the log calls this right before it appends a line.
    void beforeAppend();
    // Lays the pending lines out now, e.g. before the log is cleared.
    void flush();

    // Tests compare the batched log with the one appended line by line.
    static void setEnabledForTesting(bool enabled);

private:
    QTextEdit *m_view;
    int m_scopes = 0;
    // Holds the open edit block; null when none is open.
    QTextCursor m_block;
    bool m_followEnd = false;
    QMetaObject::Connection m_awake;
    QMetaObject::Connection m_aboutToBlock;
};
