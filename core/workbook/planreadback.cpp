#include "core/workbook/planreadback.h"

#include "core/workbook/builtinengine.h"
#include "core/workbook/seatplanexport.h"

#include <QDir>
#include <QMap>
#include <QRegularExpression>

#include <algorithm>
#include <exception>

namespace SeatPlan {
namespace {

using Automation::ObjectPtr;

// The first sheet of a workbook, read through the built-in engine whatever
// application wrote the file.
ObjectPtr required(ObjectPtr object)
{
    if (!object)
        throw Automation::Error(QStringLiteral("没有可读的工作表"));
    return object;
}

class FirstSheet
{
public:
    explicit FirstSheet(const QString &path)
        : m_application(BuiltInEngine::createApplication())
    {
        m_workbooks = required(m_application->querySubObject("Workbooks"));
        m_workbook = m_workbooks->querySubObject("Open(const QString&)", {path});
        if (!m_workbook)
            throw Automation::Error(QStringLiteral("文件不存在"));
        const ObjectPtr sheets = required(m_workbook->querySubObject("Sheets"));
        m_sheet = required(sheets->querySubObject("Item(int)", {1}));
        const ObjectPtr used = required(m_sheet->querySubObject("UsedRange"));
        m_rows = required(used->querySubObject("Rows"))->property("Count").toInt();
        m_columns = required(used->querySubObject("Columns"))->property("Count").toInt();
    }

    ~FirstSheet()
    {
        try {
            m_application->dynamicCall("Quit()");
        } catch (...) {
        }
    }

    int rows() const { return m_rows; }
    int columns() const { return m_columns; }
    QString text(int row, int column) const
    {
        const ObjectPtr cell = m_sheet->querySubObject("Cells(int,int)", {row, column});
        const QVariant value = cell ? cell->property("Value") : QVariant();
        return value.isValid() && !value.isNull() ? value.toString() : QString();
    }

private:
    ObjectPtr m_application;
    ObjectPtr m_workbooks;
    ObjectPtr m_workbook;
    ObjectPtr m_sheet;
    int m_rows = 0;
    int m_columns = 0;
};

QString describe(const QString &path, const std::exception &error)
{
    const auto *automation = dynamic_cast<const Automation::Error *>(&error);
    const QString reason = automation ? automation->message() : QString::fromUtf8(error.what());
    return QStringLiteral("无法读取“%1”：%2")
        .arg(QDir::toNativeSeparators(path), reason.isEmpty() ? QStringLiteral("不是可读的 xlsx 文件") : reason);
}

} // namespace

ReadBack readArrangement(const QString &planPath, const QString &templatePath, const ClassModel &model,
                         int groupCount)
{
    ReadBack result;
    // Group position -> seat -> name, both ascending.
    QMap<int, QMap<int, QString>> seats;
    QString reading = templatePath;
    try {
        const FirstSheet layout(templatePath);
        reading = planPath;
        const FirstSheet plan(planPath);
        for (int row = 1; row <= layout.rows(); ++row) {
            for (int column = 1; column <= layout.columns(); ++column) {
                const std::optional<SeatMarker> marker = parseSeatMarker(layout.text(row, column));
                // No plan has more groups than a class can enable.
                if (!marker || marker->group < 1 || marker->group > kGroupCount || marker->seat < 1)
                    continue;
                const QString name = plan.text(row, column);
                if (!name.isEmpty())
                    seats[marker->group][marker->seat] = name;
            }
        }
    } catch (const std::exception &error) {
        result.problem = describe(reading, error);
        return result;
    }

    const int count = std::max(groupCount, seats.isEmpty() ? 0 : seats.lastKey());
    result.groups = Grouping(count);
    for (auto group = seats.cbegin(); group != seats.cend(); ++group) {
        for (const QString &name : group.value()) {
            const PersonId id = model.nameToId.value(name);
            if (id == 0)
                result.unknownNames.append(name);
            else
                result.groups[group.key() - 1].append(id);
        }
    }
    return result;
}

QString latestSavedPlan(const QString &directory)
{
    static const QRegularExpression savedName(QStringLiteral("\\A\\d{8}_\\d{6}_座位表\\.xlsx\\z"));
    QStringList names = QDir(directory).entryList({QStringLiteral("*_座位表.xlsx")}, QDir::Files, QDir::Name);
    names.removeIf([](const QString &name) { return !savedName.match(name).hasMatch(); });
    // The time stamp leads the name, so the last in name order is the newest.
    return names.isEmpty() ? QString() : QDir(directory).filePath(names.last());
}

} // namespace SeatPlan
