// Template bytes -> the built-in workbook engine fills them with a class ->
// the saved plan is opened and filled again: what a user's own template
// ("自定义" style) reaches at export.
#include "fuzzscratch.h"

#include "core/storage/configstore.h"
#include "core/workbook/builtinengine.h"
#include "core/workbook/seatplanexport.h"

#include <QDir>
#include <QSettings>

namespace {

// Two groups with a leader and a boarder, names with markup-like text.
const ClassModel &fuzzClass()
{
    static const ClassModel model = [] {
        ClassModel built = ClassModel::fromRoster({QStringLiteral("张三"), QStringLiteral("<b>李四</b>")},
                                                  {QStringLiteral("王芳&"), QStringLiteral("赵敏")});
        built.leaderNames = {QStringLiteral("张三")};
        built.boarderNames = {QStringLiteral("王芳&")};
        built.generatedGroups = {{1, 3}, {2, 4}};
        return built;
    }();
    return model;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString templatePath = writeInput(QStringLiteral("template.xlsx"), data, size);
    const QString configPath = fuzzScratch().filePath(QStringLiteral("config.ini"));
    static const bool configured = [&] {
        QSettings settings(configPath, QSettings::IniFormat);
        settings.setValue(QStringLiteral("Style/CustomPath"), templatePath);
        return true;
    }();
    (void)configured;

    const QString outputPath = fuzzScratch().filePath(QStringLiteral("plan.xlsx"));
    QFile::remove(outputPath);
    const auto ignore = [](const QString &) {};
    const SeatPlan::Reporter reporter{ignore, ignore, ignore, ignore};
    const SeatPlan::Source source{fuzzClass(), ConfigStore::kCustomStyle, configPath, fuzzScratch().path()};
    if (!SeatPlan::writeSeatTable(outputPath, source, reporter))
        return 0;

    // What the engine wrote, it must read back.
    try {
        const Automation::ObjectPtr application = BuiltInEngine::createApplication();
        const Automation::ObjectPtr workbooks = application->querySubObject("Workbooks");
        const Automation::ObjectPtr workbook =
            workbooks->querySubObject("Open(const QString&)", {QDir::toNativeSeparators(outputPath)});
        const Automation::ObjectPtr sheets = workbook ? workbook->querySubObject("Sheets") : nullptr;
        const Automation::ObjectPtr sheet = sheets ? sheets->querySubObject("Item(int)", {1}) : nullptr;
        if (!sheet)
            qFatal("the saved plan has no first sheet");
        SeatPlan::fillSheet(*sheet, fuzzClass(), QStringLiteral("2025.10.08"));
    } catch (const Automation::Error &error) {
        qFatal("the saved plan does not reopen: %s", error.what());
    }
    return 0;
}
