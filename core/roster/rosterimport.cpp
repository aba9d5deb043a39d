#include "core/roster/rosterimport.h"

#include "core/roster/namespacing.h"
#include "core/roster/rostercolumns.h"
#include "core/model/namecollation.h"

#include <QHash>
#include <QRegularExpression>

#include <algorithm>
#include <climits>

using namespace RosterColumns;

namespace {

struct BoarderColumn
{
    int column = -1;
    QString title;
    Kind kind = Kind::Boarder; // Boarder or Resident: what the column's yes means
};

struct Columns
{
    int name = -1;
    int gender = -1;
    int number = -1;
    int leader = -1;
    QList<BoarderColumn> boarder; // 外宿生, 走读生 and 住校生 columns alike
};

// The columns of one list. A list printed two-up stands in two blocks side by
// side, each with its own 姓名, 性别, … columns.
struct Block
{
    int first = 0;
    int end = INT_MAX;
    Columns columns;
    int gender = -1; // the column its genders come from
    QMap<QString, Gender> codes;
    QString codesSource; // where its codes were explained
};

// Values that marked 外宿生 in one column, with how often.
using Readings = QMap<QString, QMap<QString, int>>;

int columnCount(const QList<TableRow> &rows)
{
    qsizetype count = 0;
    for (const TableRow &row : rows)
        count = qMax(count, row.cells.size());
    return int(count);
}

Columns columnsOf(const QStringList &cells, int first, int end)
{
    Columns found;
    for (int c = first; c < cells.size() && c < end; ++c) {
        const Kind kind = kindOfHeader(cells.at(c));
        int *slot = kind == Kind::Name ? &found.name
            : kind == Kind::Gender     ? &found.gender
            : kind == Kind::Number     ? &found.number
            : kind == Kind::Leader     ? &found.leader
                                       : nullptr;
        if (slot && *slot < 0)
            *slot = c;
        if (kind == Kind::Boarder || kind == Kind::Resident)
            found.boarder.append({c, cells.at(c).trimmed(), kind});
    }
    return found;
}

// A header with its 姓名 column twice or more is a list printed in blocks:
// each block starts as far before its 姓名 as the first block does.
QList<Block> blocksOf(const QStringList &cells, const QList<int> &nameColumns)
{
    int firstFilled = 0;
    while (firstFilled < cells.size() && cells.at(firstFilled).trimmed().isEmpty())
        ++firstFilled;
    const int lead = qMax(0, nameColumns.first() - firstFilled);
    QList<int> starts{0};
    for (int k = 1; k < nameColumns.size(); ++k)
        starts.append(qMax(nameColumns.at(k) - lead, nameColumns.at(k - 1) + 1));
    QList<Block> blocks;
    for (int k = 0; k < starts.size(); ++k) {
        Block block;
        block.first = starts.at(k);
        block.end = k + 1 < starts.size() ? starts.at(k + 1) : INT_MAX;
        block.columns = columnsOf(cells, block.first, block.end);
        blocks.append(block);
    }
    return blocks;
}

// The first of the leading rows that names a name column; -1 when none does.
int findHeader(const QList<TableRow> &rows, QList<Block> &blocks, bool &unnamedHeader)
{
    unnamedHeader = false;
    for (int i = 0; i < rows.size() && i < kHeaderSearchRows; ++i) {
        const QStringList &cells = rows.at(i).cells;
        QList<int> nameColumns;
        int known = 0;
        for (int c = 0; c < cells.size(); ++c) {
            const Kind kind = kindOfHeader(cells.at(c));
            known += kind != Kind::Other ? 1 : 0;
            if (kind == Kind::Name)
                nameColumns.append(c);
        }
        if (!nameColumns.isEmpty()) {
            blocks = blocksOf(cells, nameColumns);
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
    QString trimmed = name.trimmed();
    if (!trimmed.isEmpty() && trimmed != name)
        problems.append({row, QStringLiteral("姓名“%1”前后有空格，已去掉").arg(trimmed)});
    if (const QString joined = joinPaddedName(trimmed); joined != trimmed) {
        problems.append({row, QStringLiteral("姓名“%1”中的空格已去掉，改为“%2”").arg(trimmed, joined)});
        trimmed = joined;
    }
    if (trimmed.contains(u' '))
        problems.append({row, QStringLiteral("姓名“%1”中间有空格，添加要求时无法输入这个姓名").arg(trimmed)});
    return trimmed;
}

// Only what the file says: a blank or unreadable value marks nobody, and
// unreadable ones are reported.
void readMarks(const TableRow &row, const Columns &columns, ImportedPerson &person, QList<RowProblem> &problems,
               Readings &readings)
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
        const Lodging lodging = lodgingOf(value, boarder.kind);
        if (lodging == Lodging::DayStudent) {
            person.boarder = true;
            ++readings[boarder.title][value.trimmed()];
        }
        if (lodging == Lodging::Unknown)
            problems.append({row.number, QStringLiteral("“%1”一栏的“%2”无法识别，未标为外宿生").arg(boarder.title, value.trimmed())});
    }
}

QStringList readingSentences(const QList<Block> &blocks, const Readings &readings)
{
    QStringList titles;
    for (const Block &block : blocks) {
        for (const BoarderColumn &boarder : block.columns.boarder) {
            if (!titles.contains(boarder.title))
                titles.append(boarder.title);
        }
    }
    QStringList sentences;
    for (const QString &title : std::as_const(titles)) {
        const QMap<QString, int> values = readings.value(title);
        if (values.isEmpty()) {
            sentences.append(QStringLiteral("“%1”一栏中没有标为外宿生（走读）的学生。").arg(title));
            continue;
        }
        QStringList quoted;
        int count = 0;
        for (auto it = values.cbegin(); it != values.cend(); ++it) {
            quoted.append(QStringLiteral("“%1”").arg(it.key()));
            count += it.value();
        }
        sentences.append(QStringLiteral("外宿生按“%1”一栏：%2的 %3 名学生标为外宿生。").arg(title, quoted.join(u'、')).arg(count));
    }
    return sentences;
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

// A note explaining the gender codes, and where it stands.
struct Legend
{
    QMap<QString, Gender> codes;
    QString source;
};

Legend legendIn(const TableRow &row, const QList<int> &skippedColumns, const QString &where)
{
    for (int c = 0; c < row.cells.size(); ++c) {
        if (skippedColumns.contains(c))
            continue;
        const QMap<QString, Gender> codes = legendCodes(row.cell(c));
        if (!codes.isEmpty())
            return {codes, QStringLiteral("%1“%2”").arg(where, row.cell(c).trimmed())};
    }
    return {};
}

// A row below the header that explains the codes instead of listing a student:
// its note stands where the names do, or no block names anyone in it.
bool isLegendRow(const TableRow &row, const QList<Block> &blocks, Legend &legend)
{
    const Legend found = legendIn(row, {}, QStringLiteral("第 %1 行的说明").arg(row.number));
    if (found.codes.isEmpty())
        return false;
    for (const Block &block : blocks) {
        const QString name = row.cell(block.columns.name).trimmed();
        if (!name.isEmpty() && legendCodes(name).isEmpty())
            return false;
    }
    if (legend.codes.isEmpty())
        legend = found;
    return true;
}

QString describeCodes(const QMap<QString, Gender> &codes)
{
    QStringList pairs;
    for (auto it = codes.cbegin(); it != codes.cend(); ++it)
        pairs.append(QStringLiteral("%1 为%2").arg(it.key(), it.value() == Gender::Boy ? QStringLiteral("男") : QStringLiteral("女")));
    return pairs.join(u'、');
}

bool isDigitCode(const QString &value)
{
    const QString code = value.normalized(QString::NormalizationForm_KC);
    return !code.isEmpty() && code.size() <= 2
        && std::all_of(code.begin(), code.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

// Where each block's genders come from under the teacher's choice: a column
// chosen in one block is the same column of every other block.
void applyGenderChoice(QList<Block> &blocks, const GenderChoice &choice)
{
    int chosenBlock = 0;
    for (int k = 0; k < blocks.size(); ++k) {
        if (choice.column >= blocks.at(k).first && choice.column < blocks.at(k).end)
            chosenBlock = k;
    }
    for (int k = 0; k < blocks.size(); ++k) {
        Block &block = blocks[k];
        if (choice.kind == GenderChoice::Detected)
            block.gender = block.columns.gender;
        else if (choice.kind == GenderChoice::Column)
            block.gender = choice.column - blocks.at(chosenBlock).first + block.first;
        else
            block.gender = -1;
    }
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

RosterImport interpretRoster(const TableFile &table, const GenderChoice &choice, bool includeHidden)
{
    RosterImport import;
    if (!table.error.isEmpty()) {
        import.refusal = table.error;
        return import;
    }
    QList<Block> blocks;
    bool unnamedHeader = false;
    const int headerIndex = findHeader(table.rows, blocks, unnamedHeader);
    if (headerIndex < 0 && unnamedHeader) {
        import.refusal = QStringLiteral("找不到姓名列。表头中应有“姓名”或“名字”一栏，未导入任何人。");
        return import;
    }
    if (headerIndex < 0) {
        blocks = {Block{}};
        blocks[0].columns.name = 0;
    }
    import.blockCount = int(blocks.size());
    import.headerRow = headerIndex >= 0 ? table.rows.at(headerIndex).number : 0;
    import.nameColumn = blocks.first().columns.name;
    for (const Block &block : std::as_const(blocks)) {
        import.hasLeaderColumn = import.hasLeaderColumn || block.columns.leader >= 0;
        import.hasBoarderColumn = import.hasBoarderColumn || !block.columns.boarder.isEmpty();
    }
    const int width = columnCount(table.rows);
    for (int c = 0; c < width; ++c)
        import.columnTitles.append(columnTitle(table.rows, headerIndex, c));

    const QList<TableRow> rows = table.rows.mid(headerIndex + 1);
    int hiddenBefore = 0;
    for (int i = 0; i <= headerIndex; ++i)
        hiddenBefore += table.rows.at(i).hidden ? 1 : 0;
    import.hiddenRows = table.hiddenRowCount - hiddenBefore;
    import.hiddenIncluded = includeHidden;
    QList<TableRow> considered;
    for (const TableRow &row : rows) {
        if (includeHidden || !row.hidden)
            considered.append(row);
    }
    const int shownAfter = (table.rowCount - table.hiddenRowCount) - (headerIndex + 1 - hiddenBefore);
    const int rowCount = shownAfter + (includeHidden ? import.hiddenRows : 0);
    if (rowCount > kMaxImportRows) {
        import.refusal = QStringLiteral("名单有 %1 行，超过了 %2 行的上限（从第 %3 行起），未导入任何人。请只保留本班的学生。")
                             .arg(rowCount)
                             .arg(kMaxImportRows)
                             .arg(considered.at(kMaxImportRows).number);
        return import;
    }
    if (considered.isEmpty()) {
        import.refusal = rows.isEmpty() ? QStringLiteral("文件中没有名单。")
                                        : QStringLiteral("文件中的 %1 行名单都被隐藏了。要导入它们，请选中“包括隐藏的行”。")
                                              .arg(import.hiddenRows);
        return import;
    }

    applyGenderChoice(blocks, choice);
    if (choice.kind == GenderChoice::Detected && blocks.first().gender < 0 && headerIndex < 0)
        blocks.first().gender = genderColumnByValues(considered, blocks.first().columns.name, width);
    import.gender = choice;
    if (choice.kind == GenderChoice::Detected && blocks.first().gender >= 0)
        import.gender = GenderChoice{GenderChoice::Column, blocks.first().gender};

    QList<RowProblem> problems = table.problems;
    // The codes of a gender column: its own header's, else a note in the
    // header row, above it or below the list.
    Legend legend;
    QList<int> genderColumns;
    for (const Block &block : std::as_const(blocks))
        genderColumns.append(block.columns.gender);
    for (int i = 0; i < headerIndex && legend.codes.isEmpty(); ++i)
        legend = legendIn(table.rows.at(i), {}, QStringLiteral("第 %1 行的说明").arg(table.rows.at(i).number));
    if (headerIndex >= 0) {
        const Legend inHeader = legendIn(table.rows.at(headerIndex), genderColumns, QStringLiteral("表头"));
        if (!inHeader.codes.isEmpty())
            legend = inHeader;
    }
    QList<TableRow> listed;
    for (const TableRow &row : std::as_const(considered)) {
        if (isLegendRow(row, blocks, legend))
            problems.append({row.number, QStringLiteral("性别代码的说明，未导入")});
        else
            listed.append(row);
    }
    for (Block &block : blocks) {
        if (headerIndex >= 0 && block.gender >= 0) {
            const QString header = table.rows.at(headerIndex).cell(block.gender);
            block.codes = genderCodes(header);
            block.codesSource = QStringLiteral("表头“%1”").arg(header.trimmed());
        }
        if (block.codes.isEmpty()) {
            block.codes = legend.codes;
            block.codesSource = legend.source;
        }
    }

    for (int i = 0; i < headerIndex; ++i)
        problems.append({table.rows.at(i).number, QStringLiteral("在表头之前，未导入")});
    QHash<QString, int> firstRowOf;
    QMap<QString, int> unexplained;
    Readings readings;
    QStringList codeSources;
    for (const Block &block : std::as_const(blocks)) {
        for (const TableRow &row : std::as_const(listed)) {
            // The last block of a two-up list is often shorter.
            const bool blockBlank = std::all_of(row.cells.cbegin() + qMin(row.cells.size(), qsizetype(block.first)),
                                                row.cells.cbegin() + qMin(row.cells.size(), qsizetype(block.end)),
                                                [](const QString &cell) { return cell.trimmed().isEmpty(); });
            if (blockBlank)
                continue;
            const QString name = cleanName(row.cell(block.columns.name), row.number, problems);
            if (name.isEmpty()) {
                problems.append({row.number, QStringLiteral("姓名为空，此行未导入")});
                continue;
            }
            Gender gender = choice.kind == GenderChoice::AllBoys ? Gender::Boy
                : choice.kind == GenderChoice::AllGirls          ? Gender::Girl
                                                                 : Gender::Unknown;
            if (block.gender >= 0) {
                const QString value = row.cell(block.gender).trimmed();
                gender = genderOf(value, block.codes);
                if (gender == Gender::Unknown && isDigitCode(value)) {
                    ++unexplained[value.normalized(QString::NormalizationForm_KC)];
                    continue;
                }
                if (gender == Gender::Unknown) {
                    problems.append({row.number, value.isEmpty()
                                                     ? QStringLiteral("“%1”的性别为空，此行未导入").arg(name)
                                                     : QStringLiteral("“%1”的性别“%2”无法识别，此行未导入").arg(name, value)});
                    continue;
                }
                if (genderOf(value) == Gender::Unknown && !codeSources.contains(block.codesSource))
                    codeSources.append(block.codesSource);
            }
            if (gender == Gender::Unknown)
                continue; // the teacher has yet to say where genders come from

            ImportedPerson person{name, row.cell(block.columns.number).trimmed(), false, false, row.number};
            readMarks(row, block.columns, person, problems, readings);
            const auto first = firstRowOf.constFind(name);
            if (first != firstRowOf.cend())
                problems.append({row.number, QStringLiteral("“%1”与第 %2 行重名").arg(name).arg(first.value())});
            else
                firstRowOf.insert(name, row.number);
            (gender == Gender::Boy ? import.boys : import.girls).append(person);
        }
    }
    for (auto it = unexplained.cbegin(); it != unexplained.cend(); ++it) {
        import.unexplainedCodes.append(it.key());
        import.unexplainedRows += it.value();
    }
    if (!codeSources.isEmpty())
        import.genderLegend = QStringLiteral("性别代码：%1（%2）").arg(describeCodes(blocks.first().codes), codeSources.join(u'、'));
    import.boarderReadings = readingSentences(blocks, readings);

    if (blocks.first().columns.number >= 0) {
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

QString unexplainedCodesAdvice(const RosterImport &import)
{
    if (import.unexplainedRows == 0)
        return QString();
    QStringList codes;
    for (const QString &code : import.unexplainedCodes)
        codes.append(QStringLiteral("“%1”").arg(code));
    return QStringLiteral("性别一栏用数字 %1 表示，文件中没有说明哪个数字是男、哪个是女，这 %2 行未导入。"
                          "请在表格程序中把表头“性别”改为“性别(1-男 2-女)”，或在表格上方加一行“性别：1-男 2-女”，"
                          "保存后重新导入；也可以在上方的“性别”中选择“全部为男生”或“全部为女生”。")
        .arg(codes.join(u'、'))
        .arg(import.unexplainedRows);
}
