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

// The members the export uses, numbered so that an implementation can
// dispatch on the number instead of comparing names cell by cell.
enum class MemberId : quint8 {
    Other, // known by name only
    Visible,
    DisplayAlerts,
    ScreenUpdating,
    Workbooks,
    Open,
    Sheets,
    Item,
    UsedRange,
    Rows,
    Columns,
    Count,
    Cells,
    Value,
    HorizontalAlignment,
    VerticalAlignment,
    WrapText,
    Font,
    Size,
    Bold,
    Interior,
    Color,
    SaveAsFormat,
    SaveAsWps,
    SaveAsVariant,
    SaveAsString,
    ActiveWorkbook,
    Close,
    Quit,
};

// A property or member signature as the application knows it ("Value",
// "Cells(int,int)"), with its number when it is one of the export's.
class Member
{
public:
    constexpr Member(const char *name) : m_name(name) {}
    constexpr Member(const char *name, MemberId id) : m_name(name), m_id(id) {}

    constexpr const char *name() const { return m_name; }
    // The number, looked up by name for a member given by name only.
    MemberId id() const;

private:
    const char *m_name;
    MemberId m_id = MemberId::Other;
};

namespace Members {
inline constexpr Member Visible{"Visible", MemberId::Visible};
inline constexpr Member DisplayAlerts{"DisplayAlerts", MemberId::DisplayAlerts};
inline constexpr Member ScreenUpdating{"ScreenUpdating", MemberId::ScreenUpdating};
inline constexpr Member Workbooks{"Workbooks", MemberId::Workbooks};
inline constexpr Member Open{"Open(const QString&)", MemberId::Open};
inline constexpr Member Sheets{"Sheets", MemberId::Sheets};
inline constexpr Member Item{"Item(int)", MemberId::Item};
inline constexpr Member UsedRange{"UsedRange", MemberId::UsedRange};
inline constexpr Member Rows{"Rows", MemberId::Rows};
inline constexpr Member Columns{"Columns", MemberId::Columns};
inline constexpr Member Count{"Count", MemberId::Count};
inline constexpr Member Cells{"Cells(int,int)", MemberId::Cells};
inline constexpr Member Value{"Value", MemberId::Value};
inline constexpr Member HorizontalAlignment{"HorizontalAlignment", MemberId::HorizontalAlignment};
inline constexpr Member VerticalAlignment{"VerticalAlignment", MemberId::VerticalAlignment};
inline constexpr Member WrapText{"WrapText", MemberId::WrapText};
inline constexpr Member Font{"Font", MemberId::Font};
inline constexpr Member Size{"Size", MemberId::Size};
inline constexpr Member Bold{"Bold", MemberId::Bold};
inline constexpr Member Interior{"Interior", MemberId::Interior};
inline constexpr Member Color{"Color", MemberId::Color};
inline constexpr Member SaveAsFormat{"SaveAs(const QString&, int)", MemberId::SaveAsFormat};
inline constexpr Member SaveAsWps{"SaveAs(const QString&)", MemberId::SaveAsWps};
inline constexpr Member SaveAsVariant{"SaveAs(QVariant)", MemberId::SaveAsVariant};
inline constexpr Member SaveAsString{"SaveAs(QString)", MemberId::SaveAsString};
inline constexpr Member ActiveWorkbook{"ActiveWorkbook", MemberId::ActiveWorkbook};
inline constexpr Member Close{"Close(Boolean)", MemberId::Close};
inline constexpr Member Quit{"Quit()", MemberId::Quit};
} // namespace Members

class Object
{
public:
    virtual ~Object();
    // A created object that does not stand for anything (an application that
    // is not installed).
    virtual bool isNull() const { return false; }
    virtual QVariant property(Member name) = 0;
    virtual void setProperty(Member name, const QVariant &value) = 0;
    // Null when the member yields no object.
    virtual std::unique_ptr<Object> querySubObject(Member member, const QVariantList &arguments = {}) = 0;
    virtual QVariant dynamicCall(Member member, const QVariantList &arguments = {}) = 0;
};

using ObjectPtr = std::unique_ptr<Object>;

} // namespace Automation
