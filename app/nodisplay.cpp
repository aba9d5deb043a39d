#include "app/nodisplay.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace {

struct HeldMessage
{
    QtMsgType type;
    // Qt's categories, files and functions are string literals.
    const char *file;
    int line;
    const char *function;
    const char *category;
    QString text;
};

QList<HeldMessage> &heldMessages()
{
    static QList<HeldMessage> messages;
    return messages;
}

void holdOrLeave(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (type == QtFatalMsg) {
        const QByteArray line = QStringLiteral("无法打开窗口：没有可用的图形显示。请在图形桌面中启动，或用 xvfb-run "
                                               "quorvane 启动；不需要窗口时可用命令行（quorvane --help）。\n")
                                    .toUtf8();
        std::fputs(line.constData(), stderr);
        std::fflush(stderr);
        // The application object is half built: leave without running its destructors.
        std::_Exit(1);
    }
    heldMessages().append({type, context.file, context.line, context.function, context.category, text});
}

} // namespace

NoDisplayGuard::NoDisplayGuard()
    : m_previous(qInstallMessageHandler(holdOrLeave))
    , m_active(true)
{
}

NoDisplayGuard::~NoDisplayGuard()
{
    release();
}

void NoDisplayGuard::release()
{
    if (!m_active)
        return;
    m_active = false;
    qInstallMessageHandler(m_previous);
    const QList<HeldMessage> held = std::exchange(heldMessages(), {});
    for (const HeldMessage &message : held) {
        const QMessageLogContext context(message.file, message.line, message.function, message.category);
        m_previous(message.type, context, message.text);
    }
}
