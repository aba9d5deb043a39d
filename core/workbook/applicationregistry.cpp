#include "core/workbook/applicationregistry.h"

#include "core/workbook/builtinengine.h"

namespace Automation {

ComSystem::~ComSystem() = default;

QString comErrorDescription(ComStatus status, const QString &systemText)
{
    QString text = systemText;
    while (text.endsWith(u'\n') || text.endsWith(u'\r'))
        text.chop(1);
    if (!text.isEmpty())
        return text;
    const auto code = quint32(status);
    if (code >= 0x80040201u && code <= 0x8004FFFFu)
        return QString::asprintf("IDispatch error #%d", int(code - 0x80040200u));
    return QString::asprintf("Unknown error 0x%0X", code);
}

ApplicationRegistry &ApplicationRegistry::instance()
{
    static ApplicationRegistry registry;
    return registry;
}

ComSystem &ApplicationRegistry::com() const
{
    return m_com ? *m_com : platformComSystem();
}

void ApplicationRegistry::setComSystem(ComSystem *com)
{
    m_com = com;
}

void ApplicationRegistry::registerApplication(const QString &programId, ApplicationFactory factory)
{
    m_applications.insert(programId, std::move(factory));
}

void ApplicationRegistry::clearApplications()
{
    m_applications.clear();
}

ObjectPtr ApplicationRegistry::create(const QString &programId) const
{
    const auto registered = m_applications.constFind(programId);
    if (registered != m_applications.constEnd())
        return registered.value() ? registered.value()() : nullptr;
    return com().create(programId);
}

bool ApplicationRegistry::offersBuiltInEngine() const
{
    return m_builtInEnabled && !com().hasCom();
}

ObjectPtr ApplicationRegistry::createBuiltInEngine() const
{
    return offersBuiltInEngine() ? BuiltInEngine::createApplication() : nullptr;
}

void ApplicationRegistry::reset()
{
    m_com = nullptr;
    m_applications.clear();
    m_builtInEnabled = true;
}

} // namespace Automation
