#pragma once

#include <QtGlobal>

// While it is active, a fatal message (the platform plugin finding no display)
// ends the program with one Chinese line on standard error and exit code 1
// instead of an abort; other messages are held and passed on at release().
// Spans the construction of the QApplication and nothing else.
class NoDisplayGuard
{
public:
    NoDisplayGuard();
    ~NoDisplayGuard();
    NoDisplayGuard(const NoDisplayGuard &) = delete;
    NoDisplayGuard &operator=(const NoDisplayGuard &) = delete;

    void release();

private:
    QtMessageHandler m_previous = nullptr;
    bool m_active = false;
};
