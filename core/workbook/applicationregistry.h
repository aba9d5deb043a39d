#pragma once

#include "core/workbook/automation.h"

#include <QMap>
#include <QString>

#include <functional>

namespace Automation {

// HRESULT: negative means failure.
using ComStatus = qint32;

// The platform's COM library and automation client. On Windows this is the
// real thing; elsewhere initialisation is a successful no-op and no program
// identifier is registered.
class ComSystem
{
public:
    virtual ~ComSystem();
    virtual bool hasCom() const = 0;
    // CoInitializeEx, apartment-threaded.
    virtual ComStatus initialize() = 0;
    virtual void uninitialize() = 0;
    // The system's message text for a status code; empty when it has none.
    virtual QString systemMessage(ComStatus status) const = 0;
    // A null pointer or a null object when the identifier is not registered.
    virtual ObjectPtr create(const QString &programId) = 0;
};

ComSystem &platformComSystem();

// The description the COM error object gives for a status: the system's
// text without its trailing line break, or one of its two fall-back formats.
QString comErrorDescription(ComStatus status, const QString &systemText);

using ApplicationFactory = std::function<ObjectPtr()>;

// Where the export gets its COM system and its applications from. Tests
// register fake applications and a fake COM system here.
class ApplicationRegistry
{
public:
    static ApplicationRegistry &instance();

    ComSystem &com() const;
    // nullptr restores the platform's own.
    void setComSystem(ComSystem *com);

    // An application registered here hides the platform's one of that name.
    void registerApplication(const QString &programId, ApplicationFactory factory);
    void clearApplications();
    ObjectPtr create(const QString &programId) const;

    // The built-in workbook engine stands in where there is no COM.
    bool offersBuiltInEngine() const;
    void setBuiltInEngineEnabled(bool enabled) { m_builtInEnabled = enabled; }
    ObjectPtr createBuiltInEngine() const;

    // Back to the platform's COM, no registrations, built-in engine enabled.
    void reset();

private:
    ComSystem *m_com = nullptr;
    QMap<QString, ApplicationFactory> m_applications;
    bool m_builtInEnabled = true;
};

} // namespace Automation
