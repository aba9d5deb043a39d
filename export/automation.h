#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <QVariantList>

#include <exception>
#include <memory>

// What the export asks of a spreadsheet application's automation model:
// objects with properties, sub-objects reached through member signatures and
// callable members. The COM client on Windows, the built-in workbook engine
// and the fakes of the tests all speak this.
namespace Automation {

// A failed automation step. The message is shown to the user as it stands;
// an empty one stands for a failure the application did not describe.
class Error : public std::exception
{
public:
    explicit Error(QString message = QString());
    const QString &message() const { return m_message; }
    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};

class Object
{
public:
    virtual ~Object();
    // A created object that does not stand for anything (an application that
    // is not installed).
    virtual bool isNull() const { return false; }
    virtual QVariant property(const char *name) = 0;
    virtual void setProperty(const char *name, const QVariant &value) = 0;
    // Null when the member yields no object.
    virtual std::unique_ptr<Object> querySubObject(const char *member, const QVariantList &arguments = {}) = 0;
    virtual QVariant dynamicCall(const char *member, const QVariantList &arguments = {}) = 0;
};

using ObjectPtr = std::unique_ptr<Object>;

} // namespace Automation
