// `quorvane generate`: a generation without the window, as "生成分组" makes
// it, optionally exported with the same code as "保存" and as "导出PDF...".
#include "cli/command.h"

#include "cli/commandline.h"
#include "cli/plantemplate.h"
#include "core/storage/appdirectory.h"
#include "core/storage/classfile.h"
#include "core/platform/clock.h"
#include "core/storage/historybook.h"
#include "core/engine/generation.h"
#include "core/model/seatingplan.h"
#include "core/workbook/seatplanexport.h"
#include "core/storage/arrangementrecord.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <exception>
#include <functional>
#include <optional>

namespace CommandLine {
namespace {

const QString kSeed = QStringLiteral("seed");
const QString kExport = QStringLiteral("export");
const QString kStyle = QStringLiteral("style");
const QString kQuiet = QStringLiteral("quiet");
const QString kPdf = QStringLiteral("pdf");
const QString kView = QStringLiteral("view");
const QString kNoSolver = QStringLiteral("no-solver");

std::optional<quint32> parseSeed(const QString &text)
{
    // Decimal digits only: no sign, no blanks, no other base.
    const bool digits = !text.isEmpty() && text.size() <= 10
        && std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    const qulonglong value = digits ? text.toULongLong() : 0;
    if (!digits || value > 0xFFFFFFFFull)
        return std::nullopt;
    return quint32(value);
}

std::optional<PlanView> parseView(const QString &text)
{
    if (text == QLatin1String("student"))
        return PlanView::Student;
    if (text == QLatin1String("teacher"))
        return PlanView::Teacher;
    return std::nullopt;
}

// The grouping as the results table shows it: one row per enabled group.
QStringList groupingTable(const ClassModel &model)
{
    qsizetype widest = 0;
    for (const Group &group : model.generatedGroups)
        widest = std::max(widest, group.size());
    QStringList header{QStringLiteral("组号")};
    for (qsizetype k = 1; k <= widest; ++k)
        header.append(QStringLiteral("成员%1").arg(k));
    QStringList lines{header.join(u'\t')};
    for (int p = 0; p < model.generatedGroups.size(); ++p) {
        QStringList row{QStringLiteral("组 %1").arg(model.groupNumberOfPosition(p))};
        for (PersonId id : model.generatedGroups.at(p))
            row.append(model.nameOf(id));
        lines.append(row.join(u'\t'));
    }
    return lines;
}

int exportPlan(const ClassModel &model, const PlanTemplate &plan, const QString &configPath, const QString &target,
               Console &console, const std::function<void(const QString &)> &exported)
{
    SeatPlan::Reporter reporter;
    QString failure;
    reporter.warning = [&failure](const QString &text) { failure = text; };
    reporter.critical = [&failure](const QString &text) { failure = text; };
    reporter.detail = [&console](const QString &text) { console.print(text); };
    reporter.exported = [&console, &exported](const QString &savePath) {
        console.print(QStringLiteral("座位表已导出到: ") + savePath);
        exported(savePath);
    };
    const SeatPlan::Source source{model, plan.style, configPath, templateDirectory(), fallbackTemplateDirectory(),
                                  plan.customTemplate};
    if (SeatPlan::writeSeatTable(target, source, reporter))
        return Success;
    console.fail(QStringLiteral("无法导出到“%1”：%2").arg(QDir::toNativeSeparators(target), failure));
    return ExportFailed;
}

int exportPdf(const ClassModel &model, const QString &target, PlanView view, Console &console)
{
    // The program runs every drawing command with its page drawing.
    const PageDrawing *drawing = pageDrawing();
    const QString error = drawing ? drawing->savePdf(target, model, view) : QStringLiteral("无法绘制页面");
    if (!error.isEmpty()) {
        console.fail(QStringLiteral("导出失败: ") + error);
        return ExportFailed;
    }
    console.print(QStringLiteral("座位表已导出为PDF: ") + QDir::toNativeSeparators(target));
    return Success;
}

int runGenerate(const QCommandLineParser &parser, Console &console)
{
    console.setQuiet(parser.isSet(kQuiet));

    std::optional<quint32> seed;
    if (parser.isSet(kSeed)) {
        seed = parseSeed(parser.value(kSeed));
        if (!seed) {
            console.fail(QStringLiteral("无效的种子“%1”：应为 0 到 4294967295 之间的整数").arg(parser.value(kSeed)));
            return BadInput;
        }
    }

    const std::optional<PlanView> view = parser.isSet(kView) ? parseView(parser.value(kView)) : PlanView::Student;
    if (!view) {
        console.fail(QStringLiteral("未知的视角“%1”：应为 student（学生视角）或 teacher（教师视角）").arg(parser.value(kView)));
        return BadInput;
    }

    const QString configPath = configPathOf(parser);
    ClassFile file = readClassFile(configPath);
    if (!file.problem.isEmpty()) {
        console.fail(file.problem);
        if (const QString hint = missingClassHint(parser); !hint.isEmpty())
            console.fail(hint);
        return BadInput;
    }
    ClassModel &model = file.model;
    if (model.enabledGroupIndexes().isEmpty()) {
        console.fail(QStringLiteral("配置文件“%1”中没有启用的分组").arg(QDir::toNativeSeparators(configPath)));
        return BadInput;
    }

    // Everything an export needs is checked before generating, so a bad
    // option never costs a run.
    QString target;
    PlanTemplate plan = parser.isSet(kStyle) ? templateFromOption(parser.value(kStyle)) : templateOfStyle(file.style);
    if (parser.isSet(kExport)) {
        target = QFileInfo(SeatPlan::withXlsxSuffix(parser.value(kExport))).absoluteFilePath();
        findTemplate(plan, configPath);
    }
    const QString pdfTarget =
        parser.isSet(kPdf) ? QFileInfo(SeatPlan::withPdfSuffix(parser.value(kPdf))).absoluteFilePath() : QString();
    if (!plan.problem.isEmpty()) {
        console.fail(plan.problem);
        return BadInput;
    }

    // The class's history, as the window keeps it: the run is recorded, and
    // keeps last time's groupmates apart when the class asks for it.
    // A seed from the history repeats its run, keeping apart what it kept apart.
    HistoryBook history(configPath, [&console](const QString &line) { console.print(line); });
    LastArrangement last;
    if (model.avoidLastGroupmates) {
        const ArrangementRecord *original = seed ? newestWithSeed(history.records(), *seed) : nullptr;
        last = original ? avoidedBy(history, model, *original) : lastArrangement(history, model, 0);
    }
    // A seed names one try: given, it is run alone; otherwise the tries of
    // the window are made and the seed of the kept one is printed first, so
    // that --seed replays it.
    Engine::GenerationOptions options;
    options.tries = seed ? 1 : model.generationTries;
    if (seed)
        options.trySeeds = [value = *seed] { return value; };
    options.previous = last.groups;
    options.useSolver = model.useSolver && !parser.isSet(kNoSolver);
    quint32 keptSeed = 0;
    Engine::SolverReport solver;
    try {
        const Engine::GenerationResult result = Engine::generate(model, LogSink(), options);
        if (!seed)
            console.print(QStringLiteral("种子: %1").arg(result.seed));
        for (const QString &line : result.lines)
            console.print(line);
        model.generatedGroups = result.groups;
        keptSeed = result.seed;
        solver = result.solver;
    } catch (const std::exception &error) {
        console.fail(QStringLiteral("生成分组时发生错误: %1").arg(QString::fromUtf8(error.what())));
        return BadInput;
    }
    for (const QString &line : groupingTable(model))
        console.print(line);
    ArrangementRecord record = recordOf(model, model.generatedGroups, keptSeed, currentDateTime());
    record.avoidedRecord = last.record;
    noteSolver(record, solver);

    // The run is recorded once, after its files, with the last one written
    // (as the window records a save); a failed export still records the run.
    const auto exported = [&record](const QString &savePath) {
        record.exportedPath = savePath;
        record.exportedTime = currentDateTime();
    };
    const auto recorded = [&history, &record](int exit) {
        history.add(record);
        return exit;
    };
    // Each file is written whole or not at all; a failed workbook stops before the PDF.
    if (!target.isEmpty()) {
        if (const int exit = exportPlan(model, plan, configPath, target, console, exported); exit != Success)
            return recorded(exit);
    }
    if (pdfTarget.isEmpty())
        return recorded(Success);
    const int exit = exportPdf(model, pdfTarget, *view, console);
    if (exit == Success)
        exported(QDir::toNativeSeparators(pdfTarget));
    return recorded(exit);
}

} // namespace

Command generateCommand()
{
    return {QStringLiteral("generate"),
            QStringLiteral("生成分组，打印日志和分组表，可导出座位表（与“保存”“导出PDF...”相同）"),
            {
                configOption(),
                {kSeed,
                 QStringLiteral("用这个种子生成一次（0 到 4294967295）；不给时像“生成分组”一样随机尝试多次、"
                                "保留最好的一次，并先打印它的种子。"),
                 QStringLiteral("N")},
                {kExport, QStringLiteral("把座位表导出到这个 .xlsx 文件。"), QStringLiteral("FILE.xlsx")},
                {kStyle, QStringLiteral("座位样式：1、2 或一个模板 .xlsx 文件（默认：配置中的样式）。"),
                 QStringLiteral("1|2|TEMPLATE.xlsx")},
                {kPdf, QStringLiteral("把座位表另存为这个 PDF 文件（与“导出PDF...”相同，不需要图形显示）。"),
                 QStringLiteral("FILE.pdf")},
                {kView, QStringLiteral("PDF 的视角：student 学生视角（讲台在上，默认）或 teacher 教师视角（讲台在下）。"),
                 QStringLiteral("student|teacher")},
                {kNoSolver, QStringLiteral("不使用约束求解：尝试后仍有要求未满足时保留最好的一次尝试（与关闭“无法满足要求时使用约束求解”相同）。")},
                {kQuiet, QStringLiteral("不打印日志、分组表和种子；出错时仍在标准错误上说明。")},
            },
            runGenerate,
            kPdf};
}

} // namespace CommandLine
