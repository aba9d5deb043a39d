// `quorvane import`: a class list read as the import preview reads it, and
// the roster of a class replaced with it as "导入" and then "保存" would.
#include "cli/command.h"

#include "core/model/duplicatenames.h"
#include "core/roster/importsummary.h"
#include "core/roster/rosterimport.h"
#include "core/storage/classfile.h"
#include "core/storage/configstore.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>

#include <tuple>

namespace CommandLine {
namespace {

const QString kSheet = QStringLiteral("sheet");
const QString kDryRun = QStringLiteral("dry-run");
const QString kIncludeHidden = QStringLiteral("include-hidden");

QString fileLine(const QString &path, const TableFile &table)
{
    QString line = QStringLiteral("文件: %1").arg(QDir::toNativeSeparators(path));
    if (!table.encoding.isEmpty())
        line += QStringLiteral("（%1 编码）").arg(table.encoding);
    if (!table.sheetNames.isEmpty()) {
        line += QStringLiteral("（工作表“%1”，第 %2 个，共 %3 个）")
                    .arg(table.sheetNames.at(table.sheetIndex))
                    .arg(table.sheetIndex + 1)
                    .arg(table.sheetNames.size());
    }
    return line;
}

// The preview's table: numbers as they will be, boys first.
QStringList studentLines(const RosterImport &import)
{
    QStringList lines{QStringLiteral("编号\t姓名\t性别\t组长\t外宿生\t学号\t行号")};
    int number = 0;
    for (const auto &[people, gender] : {std::pair{&import.boys, QStringLiteral("男")},
                                         std::pair{&import.girls, QStringLiteral("女")}}) {
        for (const ImportedPerson &person : *people) {
            lines.append(QStringList{QString::number(++number), person.name, gender,
                                     person.leader ? QStringLiteral("√") : QString(),
                                     person.boarder ? QStringLiteral("√") : QString(), person.number,
                                     QString::number(person.row)}
                             .join(u'\t'));
        }
    }
    return lines;
}

int runImport(const QCommandLineParser &parser, Console &console)
{
    const QStringList files = parser.positionalArguments();
    if (files.size() != 1) {
        console.fail(files.isEmpty() ? QStringLiteral("缺少名单文件（用法：quorvane import FILE [--config CONFIG] [--sheet N] [--dry-run]）")
                                     : QStringLiteral("多余的参数“%1”：一次只能导入一个名单文件").arg(files.at(1)));
        return BadInput;
    }
    int sheet = 0;
    if (parser.isSet(kSheet)) {
        bool number = false;
        sheet = parser.value(kSheet).toInt(&number) - 1;
        if (!number || sheet < 0) {
            console.fail(QStringLiteral("无效的工作表“%1”：应为从 1 起的序号").arg(parser.value(kSheet)));
            return BadInput;
        }
    }

    const QString path = files.constFirst();
    const TableFile table = readTableFile(path, sheet);
    if (!table.error.isEmpty()) {
        console.fail(table.error);
        return BadInput;
    }
    if (parser.isSet(kSheet) && sheet != table.sheetIndex) {
        console.fail(table.sheetNames.isEmpty()
                         ? QStringLiteral("文件 %1 不是工作簿，没有工作表可选").arg(QDir::toNativeSeparators(path))
                         : QStringLiteral("文件 %1 只有 %2 个工作表").arg(QDir::toNativeSeparators(path)).arg(table.sheetNames.size()));
        return BadInput;
    }
    const RosterImport import = interpretRoster(table, {}, parser.isSet(kIncludeHidden));
    console.print(fileLine(path, table));
    if (!import.refusal.isEmpty()) {
        console.fail(import.refusal);
        return BadInput;
    }
    if (import.needsGenderChoice()) {
        console.fail(QStringLiteral("文件中没有性别列，无法区分男生和女生。请在文件中加上“性别”一栏后再导入，"
                                    "或在窗口的“设置” → “从文件导入...”中选择性别所在的列。"));
        return BadInput;
    }
    for (const QString &line : summarizeImport(import).lines)
        console.print(line);
    for (const QString &line : studentLines(import))
        console.print(line);
    if (!import.problems.isEmpty()) {
        console.print(QStringLiteral("问题 (%1 处):").arg(import.problems.size()));
        for (const RowProblem &problem : import.problems)
            console.print(QStringLiteral("第 %1 行: %2").arg(problem.row).arg(problem.text));
    }
    if (!import.canImport()) {
        console.fail(QStringLiteral("文件中没有可以导入的学生，未写入任何内容"));
        return BadInput;
    }
    if (const QString duplicates = duplicateNamesWarning(import.boyNames() + import.girlNames()); !duplicates.isEmpty())
        console.print(duplicates);

    const QString configPath = configPathOf(parser);
    const QString shownConfig = QDir::toNativeSeparators(configPath);
    if (parser.isSet(kDryRun)) {
        console.print(QStringLiteral("只是预览（--dry-run），%1 未改动").arg(shownConfig));
        return Success;
    }
    // A class that does not exist yet starts from the defaults, as the window's first save does.
    ClassFile current;
    current.style = ConfigStore::kDefaultStyle;
    if (QFileInfo::exists(configPath)) {
        current = readClassFile(configPath);
        if (!current.problem.isEmpty()) {
            console.fail(current.problem);
            return BadInput;
        }
    }
    const RosterReplacement replacement = replaceRoster(current.model, import);
    const QString customPath = ConfigStore::readCustomTemplatePath(configPath);
    QDir().mkpath(QFileInfo(configPath).absolutePath());
    if (!ConfigStore::writeSettings(configPath, replacement.model, current.style, customPath)) {
        console.fail(QStringLiteral("名单无法写入配置文件 %1").arg(shownConfig));
        return ExportFailed;
    }
    if (replacement.remap.changed()) {
        console.print(QStringLiteral("固定位置已按姓名对应到新名单: %1 个随学生改为新编号, %2 个因学生不在名单中已删除")
                          .arg(replacement.remap.renumbered)
                          .arg(replacement.remap.dropped));
    }
    console.print(QStringLiteral("名单已写入 %1：男生 %2 名、女生 %3 名")
                      .arg(shownConfig)
                      .arg(replacement.model.maleNames.size())
                      .arg(replacement.model.femaleNames.size()));
    return Success;
}

} // namespace

Command importCommand()
{
    return {QStringLiteral("import"),
            QStringLiteral("读取名单文件（.xlsx、.xls、.et、.ods、CSV、文本），显示导入预览，并替换配置中的名单（与“导入”后“保存”相同）"),
            {
                {QStringLiteral("config"),
                 QStringLiteral("把名单写入这个配置文件（默认：窗口使用的 config.ini）。"), QStringLiteral("CONFIG")},
                {kSheet, QStringLiteral("读取工作簿的第 N 个工作表（从 1 起，默认第 1 个）。"), QStringLiteral("N")},
                {kDryRun, QStringLiteral("只显示预览，不写入配置文件。")},
                {kIncludeHidden, QStringLiteral("也读取文件中隐藏的行（默认不读取）。")},
            },
            runImport,
            QString(),
            QStringLiteral("FILE")};
}

} // namespace CommandLine
