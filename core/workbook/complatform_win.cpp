// Windows: the real COM library and ActiveQt's automation client. Kept thin;
// everything it does is asked for by the export routine.
#include "core/workbook/applicationregistry.h"

#include <ActiveQt/QAxObject>

#include <objbase.h>
#include <windows.h>

namespace Automation {
namespace {

class AxObject final : public Object
{
public:
    explicit AxObject(QAxObject *object)
        : m_object(object)
    {
        QObject::connect(m_object.get(), &QAxObject::exception, m_object.get(),
                         [this](int, const QString &, const QString &description, const QString &) {
                             m_failed = true;
                             m_description = description;
                         });
    }

    bool isNull() const override { return m_object->isNull(); }

    QVariant property(Member name) override
    {
        begin();
        QVariant value = m_object->property(name.name());
        end();
        return value;
    }

    void setProperty(Member name, const QVariant &value) override
    {
        begin();
        m_object->setProperty(name.name(), value);
        end();
    }

    ObjectPtr querySubObject(Member member, const QVariantList &arguments) override
    {
        begin();
        QVariantList vars = arguments;
        QAxObject *child = m_object->querySubObject(member.name(), vars);
        end();
        if (!child)
            return nullptr;
        // The wrapper owns it, not the parent object.
        child->setParent(nullptr);
        return std::make_unique<AxObject>(child);
    }

    QVariant dynamicCall(Member member, const QVariantList &arguments) override
    {
        begin();
        QVariantList vars = arguments;
        QVariant result = m_object->dynamicCall(member.name(), vars);
        end();
        return result;
    }

private:
    void begin()
    {
        m_failed = false;
        m_description.clear();
    }
    // ActiveQt reports failures through a signal; turn them into errors.
    void end()
    {
        if (m_failed)
            throw Error(m_description);
    }

    std::unique_ptr<QAxObject> m_object;
    bool m_failed = false;
    QString m_description;
};

class WindowsComSystem final : public ComSystem
{
public:
    bool hasCom() const override { return true; }
    ComStatus initialize() override { return ComStatus(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)); }
    void uninitialize() override { CoUninitialize(); }

    QString systemMessage(ComStatus status) const override
    {
        wchar_t *buffer = nullptr;
        const DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM
                                                | FORMAT_MESSAGE_IGNORE_INSERTS,
                                            nullptr, DWORD(status), 0, reinterpret_cast<LPWSTR>(&buffer), 0,
                                            nullptr);
        QString text;
        if (length && buffer)
            text = QString::fromWCharArray(buffer, int(length));
        if (buffer)
            LocalFree(buffer);
        return text;
    }

    ObjectPtr create(const QString &programId) override
    {
        return std::make_unique<AxObject>(new QAxObject(programId));
    }
};

} // namespace

ComSystem &platformComSystem()
{
    static WindowsComSystem system;
    return system;
}

} // namespace Automation
