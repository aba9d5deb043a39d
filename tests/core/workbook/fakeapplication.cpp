#include "fakeapplication.h"

#include <QFile>

namespace {

using Automation::Error;
using Automation::ObjectPtr;

class FakeObject final : public Automation::Object
{
public:
    FakeObject(std::shared_ptr<FakeScenario> scenario, QString kind, int row = 0, int column = 0, bool null = false)
        : m_scenario(std::move(scenario))
        , m_kind(std::move(kind))
        , m_row(row)
        , m_column(column)
        , m_null(null)
    {
        ++m_scenario->liveObjects;
        ++m_scenario->createdObjects;
    }
    ~FakeObject() override { --m_scenario->liveObjects; }

    bool isNull() const override { return m_null; }

    QVariant property(Automation::Member name) override
    {
        const QString member = QString::fromLatin1(name.name());
        raiseIfScripted(member);
        if (m_kind == QLatin1String("Rows") && member == QLatin1String("Count"))
            return m_scenario->rowCount;
        if (m_kind == QLatin1String("Columns") && member == QLatin1String("Count"))
            return m_scenario->columnCount;
        if (m_kind == QLatin1String("Cell") && member == QLatin1String("Value"))
            return m_scenario->cells.value({m_row, m_column});
        return {};
    }

    void setProperty(Automation::Member name, const QVariant &value) override
    {
        const QString member = QString::fromLatin1(name.name());
        raiseIfScripted(member);
        QString where = m_kind;
        if (m_row)
            where += QStringLiteral("(%1,%2)").arg(m_row).arg(m_column);
        m_scenario->journal.append(QStringLiteral("%1.%2=%3").arg(where, member, value.toString()));
        if (m_kind == QLatin1String("Cell") && member == QLatin1String("Value"))
            m_scenario->cells.insert({m_row, m_column}, value);
    }

    ObjectPtr querySubObject(Automation::Member name, const QVariantList &arguments) override
    {
        const QString member = QString::fromLatin1(name.name());
        raiseIfScripted(member);
        if (m_kind != QLatin1String("Cell"))
            m_scenario->journal.append(m_kind + u'>' + member);
        if (m_scenario->nullMembers.contains(member))
            return nullptr;
        static const QMap<QString, QString> children{
            {QStringLiteral("Workbooks"), QStringLiteral("Workbooks")},
            {QStringLiteral("Open(const QString&)"), QStringLiteral("Workbook")},
            {QStringLiteral("ActiveWorkbook"), QStringLiteral("ActiveWorkbook")},
            {QStringLiteral("Sheets"), QStringLiteral("Sheets")},
            {QStringLiteral("Item(int)"), QStringLiteral("Sheet")},
            {QStringLiteral("UsedRange"), QStringLiteral("UsedRange")},
            {QStringLiteral("Rows"), QStringLiteral("Rows")},
            {QStringLiteral("Columns"), QStringLiteral("Columns")},
            {QStringLiteral("Font"), QStringLiteral("Font")},
            {QStringLiteral("Interior"), QStringLiteral("Interior")},
        };
        if (member == QLatin1String("Cells(int,int)"))
            return std::make_unique<FakeObject>(m_scenario, QStringLiteral("Cell"), arguments.value(0).toInt(),
                                                arguments.value(1).toInt());
        if (!children.contains(member))
            return nullptr;
        return std::make_unique<FakeObject>(m_scenario, children.value(member), m_row, m_column);
    }

    QVariant dynamicCall(Automation::Member name, const QVariantList &arguments) override
    {
        const QString member = QString::fromLatin1(name.name());
        QStringList shown;
        for (const QVariant &argument : arguments)
            shown.append(argument.toString());
        m_scenario->journal.append(QStringLiteral("%1.%2[%3]").arg(m_kind, member, shown.join(u',')));
        raiseIfScripted(member);
        if (member.startsWith(QLatin1String("SaveAs")) && m_scenario->saveEffect != FakeScenario::SaveEffect::WritesNothing) {
            QFile workbook(QStringLiteral(QUORVANE_TEMPLATE_DIR "/座位样式1.xlsx"));
            QByteArray bytes = workbook.open(QIODevice::ReadOnly) ? workbook.readAll() : QByteArray();
            if (m_scenario->saveEffect == FakeScenario::SaveEffect::WritesEmptyFile)
                bytes.clear();
            if (m_scenario->saveEffect == FakeScenario::SaveEffect::WritesTruncatedFile)
                bytes.truncate(bytes.size() / 2);
            QFile file(arguments.value(0).toString());
            if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
                file.write(bytes);
        }
        return {};
    }

private:
    void raiseIfScripted(const QString &member)
    {
        if (m_scenario->raisingMembers.contains(member) || m_scenario->raisingMembers.contains(m_kind + u'.' + member))
            throw Error(m_scenario->raisedMessage);
    }

    std::shared_ptr<FakeScenario> m_scenario;
    QString m_kind;
    int m_row;
    int m_column;
    bool m_null;
};

} // namespace

Automation::ObjectPtr makeFakeApplication(const std::shared_ptr<FakeScenario> &scenario, bool isNull)
{
    return std::make_unique<FakeObject>(scenario, QStringLiteral("Application"), 0, 0, isNull);
}
