#include "cli/plantemplate.h"

#include "core/storage/appdirectory.h"
#include "core/storage/configstore.h"
#include "core/workbook/seatplanexport.h"

#include <QDir>
#include <QFileInfo>

namespace CommandLine {

PlanTemplate templateFromOption(const QString &value)
{
    if (value == QLatin1String("1"))
        return templateOfStyle(QStringLiteral("样式1"));
    if (value == QLatin1String("2"))
        return templateOfStyle(QStringLiteral("样式2"));
    PlanTemplate choice;
    if (!value.endsWith(QStringLiteral(".xlsx"), Qt::CaseInsensitive)) {
        choice.problem = QStringLiteral("未知的样式“%1”：应为 1、2 或一个 .xlsx 模板文件").arg(value);
        return choice;
    }
    choice.style = ConfigStore::kCustomStyle;
    choice.customTemplate = QFileInfo(value).absoluteFilePath();
    return choice;
}

PlanTemplate templateOfStyle(const QString &style)
{
    PlanTemplate choice;
    choice.style = style;
    return choice;
}

void findTemplate(PlanTemplate &choice, const QString &configPath)
{
    if (!choice.problem.isEmpty())
        return;
    const QString first = templateDirectory();
    const QString fallback = fallbackTemplateDirectory();
    const SeatPlan::TemplateChoice found =
        SeatPlan::chooseTemplate(choice.style, configPath, first, fallback, choice.customTemplate);
    choice.path = found.path;
    if (!found.path.isEmpty())
        return;
    if (choice.style == ConfigStore::kCustomStyle) {
        const QString custom =
            choice.customTemplate.isEmpty() ? ConfigStore::readCustomTemplatePath(configPath) : choice.customTemplate;
        choice.problem = custom.isEmpty()
            ? QStringLiteral("配置文件“%1”选了自定义样式，但没有给出模板文件").arg(QDir::toNativeSeparators(configPath))
            : QStringLiteral("模板文件“%1”不存在").arg(QDir::toNativeSeparators(custom));
        return;
    }
    QStringList folders{QDir::toNativeSeparators(first)};
    if (fallback != first)
        folders.append(QDir::toNativeSeparators(fallback));
    choice.problem = QStringLiteral("未找到座位模板文件：%1 中没有“%2”或“%3”")
                         .arg(folders.join(QStringLiteral("、")), SeatPlan::kStyle1File, SeatPlan::kStyle2File);
}

} // namespace CommandLine
