#include "core/roster/rosterimport.h"

#include "core/roster/rostercolumns.h"
#include "core/model/namecollation.h"

#include <QHash>
#include <QRegularExpression>

#include <algorithm>

using namespace RosterColumns;

namespace {

struct BoarderColumn
{
    int column = -1;
    QString title;
    bool resident = false; // 住校生: the opposite of a 外宿生
};

struct Columns
{
    int name = -1;
    int gender = -1;
    int number = -1;
    int leader = -1;
    QList<BoarderColumn> boarder; // 外宿生, 走读生 and 住校生 columns alike
};

int columnCount(const QList<TableRow> &rows)
{
    qsizetype count = 0;
    for (const TableRow &row : rows)
        count = qMax(count, row.cells.size());
    return int(count);
}

// The first of the leading rows that names a name column; -1 when none does.
int findHeader(const QList<TableRow> &rows, Columns &columns, bool &unnamedHeader)
{
    unnamedHeader = false;
    for (int i = 0; i < rows.size() && i < kHeaderSearchRows; ++i) {
        Columns found;
        int known = 0;
        const QStringList &cells = rows.at(i).cells;
        for (int c = 0; c < cells.size(); ++c) {
            const Kind kind = kindOfHeader(cells.at(c));
            known += kind != Kind::Other ? 1 : 0;
            int *slot = kind == Kind::Name ? &found.name
                : kind == Kind::Gender     ? &found.gender
                : kind == Kind::Number     ? &found.number
                : kind == Kind::Leader     ? &found.leader
                                           : nullptr;
            if (slot && *slot < 0)
                *slot = c;
            if (kind == Kind::Boarder || kind == Kind::Resident)
                found.boarder.append({c, cells.at(c).trimmed(), kind == Kind::Resident});
        }
        if (found.name >= 0) {
            columns = found;
            return i;
        }
        unnamedHeader = unnamedHeader || known >= 2;
    }
    return -1;
}

// A column of a header-less file that holds nothing but genders.
int genderColumnByValues(const QList<TableRow> &rows, int nameColumn, int columns)
{
    for (int c = 0; c < columns; ++c) {
        if (c == nameColumn)
            continue;
        bool any = false;
        bool all = true;
        for (const TableRow &row : rows) {
            const QString value = row.cell(c).trimmed();
            if (value.isEmpty())
                continue;
            any = true;
            all = all && genderOf(value) != Gender::Unknown;
        }
        if (any && all)
            return c;
    }
    return -1;
}

// Line breaks and tabs inside a name would split it in the editors.
QString cleanName(const QString &raw, int row, QList<RowProblem> &problems)
{
    static const QRegularExpression breaks(QStringLiteral("[\\r\\n\\t]+"));
    QString name = raw;
    if (name.contains(breaks)) {
        name.replace(breaks, QStringLiteral(" "));
        problems.append({row, QStringLiteral("姓名中含有换行，已改为空格")});
    }
    const QString trimmed = name.trimmed();
    if (!trimmed.isEmpty() && trimmed != name)
        problems.append({row, QStringLiteral("姓名“%1”前后有空格，已去掉").arg(trimmed)});
    if (trimmed.contains(u' '))
        problems.append({row, QStringLiteral("姓名“%1”中间有空格，添加要求时无法输入这个姓名").arg(trimmed)});
    return trimmed;
}

// Only what the file says: a blank or unreadable value marks nobody, and
// unreadable ones are reported.
void readMarks(const TableRow &row, const Columns &columns, ImportedPerson &person, QList<RowProblem> &problems)
{
    if (columns.leader >= 0) {
        const QString value = row.cell(columns.leader);
        const Answer answer = answerOf(value);
        person.leader = answer == Answer::Yes;
        if (answer == Answer::Unknown)
            problems.append({row.number, QStringLiteral("组长一栏的“%1”无法识别，未标为组长").arg(value.trimmed())});
    }
    for (const BoarderColumn &boarder : columns.boarder) {
        const QString value = row.cell(boarder.column);
        const Answer answer = answerOf(value);
        person.boarder = person.boarder || answer == (boarder.resident ? Answer::No : Answer::Yes);
        if (answer == Answer::Unknown)
            problems.append({row.number, QStringLiteral("“%1”一栏的“%2”无法识别，未标为外宿生").arg(boarder.title, value.trimmed())});
    }
}

bool numberBefore(const QCollator &collator, const ImportedPerson &a, const ImportedPerson &b)
{
    if (a.number.isEmpty() || b.number.isEmpty())
        return !a.number.isEmpty() && b.number.isEmpty();
    return collator.compare(a.number, b.number) < 0;
}

QString columnTitle(const QList<TableRow> &rows, int headerIndex, int column)
{
    const QString header = headerIndex >= 0 ? rows.at(headerIndex).cell(column).trimmed() : QString();
    const QString number = QStringLiteral("第 %1 列").arg(column + 1);
    return header.isEmpty() ? number : QStringLiteral("%1“%2”").arg(number, header);
}

} // namespace

namespace {

QStringList namesOf(const QList<ImportedPerson> &people)
{
    QStringList names;
    for (const ImportedPerson &person : people)
        names.append(person.name);
    return names;
}

QStringList markedNames(const RosterImport &import, bool ImportedPerson::*mark)
{
    QStringList names;
    for (const QList<ImportedPerson> *people : {&import.boys, &import.girls}) {
        for (const ImportedPerson &person : *people) {
            if (person.*mark)
                names.append(person.name);
        }
    }
    return sortedByPinyin(names);
}

} // namespace

QStringList RosterImport::boyNames() const
{
    return namesOf(boys);
}

QStringList RosterImport::girlNames() const
{
    return namesOf(girls);
}

QStringList RosterImport::leaderNames() const
{
    return markedNames(*this, &ImportedPerson::leader);
}

QStringList RosterImport::boarderNames() const
{
    return markedNames(*this, &ImportedPerson::boarder);
}

RosterImport interpretRoster(const TableFile &table, const GenderChoice &choice)
{
    RosterImport import;
    if (!table.error.isEmpty()) {
        import.refusal = table.error;
        return import;
    }
    Columns columns;
    bool unnamedHeader = false;
    const int headerIndex = findHeader(table.rows, columns, unnamedHeader);
    if (headerIndex < 0 && unnamedHeader) {
        import.refusal = QStringLiteral("找不到姓名列。表头中应有“姓名”或“名字”一栏，未导入任何人。");
        return import;
    }
    if (headerIndex < 0)
        columns.name = 0;
    import.headerRow = headerIndex >= 0 ? table.rows.at(headerIndex).number : 0;
    import.nameColumn = columns.name;
    import.hasLeaderColumn = columns.leader >= 0;
    import.hasBoarderColumn = !columns.boarder.isEmpty();
    const int width = columnCount(table.rows);
    for (int c = 0; c < width; ++c)
        import.columnTitles.append(columnTitle(table.rows, headerIndex, c));

    const QList<TableRow> rows = table.rows.mid(headerIndex + 1);
    const int rowCount = table.rowCount - (headerIndex + 1);
    if (rowCount > kMaxImportRows) {
        import.refusal = QStringLiteral("名单有 %1 行，超过了 %2 行的上限（从第 %3 行起），未导入任何人。请只保留本班的学生。")
                             .arg(rowCount)
                             .arg(kMaxImportRows)
                             .arg(rows.at(kMaxImportRows).number);
        return import;
    }
    if (rows.isEmpty()) {
        import.refusal = QStringLiteral("文件中没有名单。");
        return import;
    }

    import.gender = choice;
    if (choice.kind == GenderChoice::Detected) {
        const int detected = columns.gender >= 0 ? columns.gender : genderColumnByValues(rows, columns.name, width);
        if (detected >= 0)
            import.gender = GenderChoice{GenderChoice::Column, detected};
    }
    const bool genderFromColumn = import.gender.kind == GenderChoice::Column;
    const QMap<QString, Gender> codes = genderFromColumn && headerIndex >= 0
        ? genderCodes(table.rows.at(headerIndex).cell(import.gender.column))
        : QMap<QString, Gender>();

    QList<RowProblem> problems = table.problems;
    for (int i = 0; i < headerIndex; ++i)
        problems.append({table.rows.at(i).number, QStringLiteral("在表头之前，未导入")});
    QHash<QString, int> firstRowOf;
    for (const TableRow &row : rows) {
        const QString name = cleanName(row.cell(columns.name), row.number, problems);
        if (name.isEmpty()) {
            problems.append({row.number, QStringLiteral("姓名为空，此行未导入")});
            continue;
        }
        Gender gender = import.gender.kind == GenderChoice::AllBoys ? Gender::Boy
            : import.gender.kind == GenderChoice::AllGirls          ? Gender::Girl
                                                                    : Gender::Unknown;
        if (genderFromColumn) {
            const QString value = row.cell(import.gender.column).trimmed();
            gender = genderOf(value, codes);
            if (gender == Gender::Unknown) {
                problems.append({row.number, value.isEmpty()
                                                 ? QStringLiteral("“%1”的性别为空，此行未导入").arg(name)
                                                 : QStringLiteral("“%1”的性别“%2”无法识别，此行未导入").arg(name, value)});
                continue;
            }
        }
        if (gender == Gender::Unknown)
            continue; // the teacher has yet to say where genders come from

        ImportedPerson person{name, row.cell(columns.number).trimmed(), false, false, row.number};
        readMarks(row, columns, person, problems);
        const auto first = firstRowOf.constFind(name);
        if (first != firstRowOf.cend())
            problems.append({row.number, QStringLiteral("“%1”与第 %2 行重名").arg(name).arg(first.value())});
        else
            firstRowOf.insert(name, row.number);
        (gender == Gender::Boy ? import.boys : import.girls).append(person);
    }

    if (columns.number >= 0) {
        QCollator collator = chineseCollator();
        collator.setNumericMode(true);
        const auto before = [&collator](const ImportedPerson &a, const ImportedPerson &b) {
            return numberBefore(collator, a, b);
        };
        std::stable_sort(import.boys.begin(), import.boys.end(), before);
        std::stable_sort(import.girls.begin(), import.girls.end(), before);
    }
    std::stable_sort(problems.begin(), problems.end(),
                     [](const RowProblem &a, const RowProblem &b) { return a.row < b.row; });
    import.problems = problems;
    return import;
}
