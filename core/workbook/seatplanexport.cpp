#include "core/workbook/seatplanexport.h"

#include "core/platform/clock.h"
#include "core/storage/configstore.h"
#include "core/workbook/xlsx/package.h"

#include <QDir>
#include <QFileInfo>

#include <limits>

namespace SeatPlan {
namespace {

using Automation::Error;
using Automation::ObjectPtr;
namespace Members = Automation::Members;

// The spreadsheet's centre constant (xlCenter).
constexpr int kCentre = -4108;
// Yellow in the spreadsheet's own colour order, 0x00BBGGRR: RGB(255, 255, 0).
// The toolkit's ARGB 0xFFFFFF00 would be read as something else entirely.
constexpr int kYellow = 0x0000FFFF;
// The Open XML workbook format (xlOpenXMLWorkbook).
constexpr int kXlsxFormat = 51;

const QString kDateMarker = QStringLiteral("XXXX.XX.XX");

struct Application
{
    ObjectPtr object;
    bool wps = false;
};

Application createApplication(const Automation::ApplicationRegistry &registry, const Reporter &reporter)
{
    struct Candidate
    {
        const char *programId;
        const char *line;
        bool wps;
    };
    static const Candidate candidates[] = {
        {"Excel.Application", "检测到Microsoft Excel", false},
        {"KWPS.Application", "检测到WPS Office (Kingsoft)", true},
        {"KET.Application", "检测到WPS表格 (KET)", true},
        {"ET.Application", "检测到WPS表格 (ET)", true},
    };
    for (const Candidate &candidate : candidates) {
        ObjectPtr object = registry.create(QString::fromLatin1(candidate.programId));
        if (object && !object->isNull()) {
            reporter.detail(QString::fromUtf8(candidate.line));
            return {std::move(object), candidate.wps};
        }
        object.reset();
    }
    if (ObjectPtr engine = registry.createBuiltInEngine()) {
        reporter.detail(QStringLiteral("使用内置表格引擎"));
        return {std::move(engine), false};
    }
    return {};
}

ObjectPtr required(ObjectPtr object, const QString &message)
{
    if (!object)
        throw Error(message);
    return object;
}

void writeSeat(Automation::Object &cell, const SeatMarker &marker, const ClassModel &model)
{
    const int group = marker.group;
    const int seat = marker.seat;
    const Grouping &groups = model.generatedGroups;
    if (group < 1 || group > groups.size() || seat < 1 || seat > groups.at(group - 1).size()) {
        cell.setProperty(Members::Value, QStringLiteral(""));
        return;
    }
    const QString name = model.nameOf(groups.at(group - 1).at(seat - 1));
    cell.setProperty(Members::Value, name);
    cell.setProperty(Members::HorizontalAlignment, kCentre);
    cell.setProperty(Members::VerticalAlignment, kCentre);
    cell.setProperty(Members::WrapText, true);
    {
        const ObjectPtr font = required(cell.querySubObject(Members::Font), QStringLiteral("无法获取单元格字体"));
        font->setProperty(Members::Size, 16);
        if (model.leaderNames.contains(name))
            font->setProperty(Members::Bold, true);
    }
    if (model.boarderNames.contains(name)) {
        const ObjectPtr interior = required(cell.querySubObject(Members::Interior), QStringLiteral("无法获取单元格背景"));
        interior->setProperty(Members::Color, kYellow);
    }
}

void save(Application &application, Automation::Object &workbook, const QString &savePath,
          const Reporter &reporter)
{
    if (!application.wps) {
        workbook.dynamicCall(Members::SaveAsFormat, {savePath, kXlsxFormat});
        return;
    }
    // WPS builds differ in which SaveAs form they accept; each later form is
    // tried only when the one before raised an error.
    try {
        workbook.dynamicCall(Members::SaveAsWps, {savePath});
        reporter.detail(QStringLiteral("使用WPS特有保存方式"));
        return;
    } catch (...) {
    }
    try {
        if (ObjectPtr active = application.object->querySubObject(Members::ActiveWorkbook)) {
            active->dynamicCall(Members::SaveAsVariant, {QVariant(savePath)});
            reporter.detail(QStringLiteral("使用WPS备用保存方式"));
        }
        return;
    } catch (...) {
    }
    workbook.dynamicCall(Members::SaveAsString, {savePath});
    reporter.detail(QStringLiteral("使用WPS最后尝试保存方式"));
}

QString failureText(const QString &message)
{
    return QStringLiteral("导出失败: %1").arg(message.isEmpty() ? QStringLiteral("未知错误") : message);
}

} // namespace

std::optional<SeatMarker> parseSeatMarker(const QString &text)
{
    // Digits, a hyphen-minus, digits and nothing else (not even a final line
    // break): what "^\\d+-\\d+$" matches, read without a match object since
    // every cell of a template is asked.
    const auto digits = [&](qsizetype from, qsizetype &to) {
        qint64 number = 0;
        for (to = from; to < text.size() && text.at(to) >= u'0' && text.at(to) <= u'9'; ++to) {
            if (number <= std::numeric_limits<int>::max())
                number = number * 10 + (text.at(to).unicode() - u'0');
        }
        // Numbers too large to convert stand for no seat, like 0 does.
        return number > std::numeric_limits<int>::max() ? 0 : int(number);
    };
    qsizetype hyphen = 0;
    const int group = digits(0, hyphen);
    if (hyphen == 0 || hyphen + 1 >= text.size() || text.at(hyphen) != u'-')
        return std::nullopt;
    qsizetype end = 0;
    const int seat = digits(hyphen + 1, end);
    if (end != text.size() || end == hyphen + 1)
        return std::nullopt;
    return SeatMarker{group, seat};
}

QString withXlsxSuffix(const QString &fileName)
{
    if (fileName.endsWith(QStringLiteral(".xlsx"), Qt::CaseInsensitive))
        return fileName;
    return fileName + QStringLiteral(".xlsx");
}

QString withPdfSuffix(const QString &fileName)
{
    if (fileName.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
        return fileName;
    return fileName + QStringLiteral(".pdf");
}

QString timeStamp()
{
    return fileTimeStamp();
}

QString planDate()
{
    return currentDateTime().date().toString(QStringLiteral("yyyy.MM.dd"));
}

TemplateChoice chooseTemplate(const QString &style, const QString &configPath, const QString &templateDirectory,
                              const QString &fallbackTemplateDirectory, const QString &customTemplate)
{
    const auto isFile = [](const QString &path) { return QFileInfo(path).isFile(); };
    // A template in the first directory hides the fallback's one of that name.
    const auto builtIn = [&](const QString &name) {
        const QString first = templateDirectory + u'/' + name;
        if (isFile(first) || fallbackTemplateDirectory.isEmpty())
            return first;
        const QString fallback = fallbackTemplateDirectory + u'/' + name;
        return isFile(fallback) ? fallback : first;
    };
    const QString style1 = builtIn(kStyle1File);
    const QString style2 = builtIn(kStyle2File);

    QString chosen;
    if (style == ConfigStore::kCustomStyle) {
        chosen = customTemplate.isEmpty() ? ConfigStore::readCustomTemplatePath(configPath) : customTemplate;
        if (chosen.isEmpty() || !isFile(chosen))
            return {QString(), QStringLiteral("自定义样式文件不存在，请重新选择")};
    } else if (style == QStringLiteral("样式2")) {
        chosen = style2;
    } else {
        chosen = style1;
    }
    if (isFile(chosen))
        return {chosen, QString()};
    if (isFile(style1))
        return {style1, QString()};
    if (isFile(style2))
        return {style2, QString()};
    return {QString(), QStringLiteral("未找到座位模板文件，请确保同目录下有'座位样式1.xlsx'或'座位样式2.xlsx'")};
}

void fillSheet(Automation::Object &sheet, const ClassModel &model, const QString &date)
{
    int rowCount = 0;
    int columnCount = 0;
    {
        const ObjectPtr usedRange = required(sheet.querySubObject(Members::UsedRange), QStringLiteral("无法获取工作表的已用区域"));
        const ObjectPtr rows = required(usedRange->querySubObject(Members::Rows), QStringLiteral("无法获取已用区域的行"));
        const ObjectPtr columns = required(usedRange->querySubObject(Members::Columns), QStringLiteral("无法获取已用区域的列"));
        rowCount = rows->property(Members::Count).toInt();
        columnCount = columns->property(Members::Count).toInt();
    }

    // The scan starts at A1 whatever cell the used range begins at; the
    // counts only bound it. One argument list serves every cell.
    QVariantList position{0, 0};
    for (int row = 1; row <= rowCount; ++row) {
        position[0] = row;
        for (int column = 1; column <= columnCount; ++column) {
            position[1] = column;
            const ObjectPtr cell = sheet.querySubObject(Members::Cells, position);
            if (!cell)
                throw Error(QStringLiteral("无法获取单元格 (%1, %2)").arg(row).arg(column));
            const QVariant value = cell->property(Members::Value);
            if (!value.isValid() || value.isNull())
                continue;
            // The text of a number or a truth value is never a marker.
            const int type = value.typeId();
            if (type == QMetaType::Double || type == QMetaType::Int || type == QMetaType::LongLong
                || type == QMetaType::Bool)
                continue;
            const QString text = value.toString();
            if (text.contains(kDateMarker)) {
                cell->setProperty(Members::Value, date);
                continue;
            }
            if (const std::optional<SeatMarker> marker = parseSeatMarker(text))
                writeSeat(*cell, *marker, model);
        }
    }
}

bool writeSeatTable(const QString &fileName, const Source &source, const Reporter &reporter,
                    Automation::ApplicationRegistry &registry)
{
    if (fileName.isEmpty()) {
        reporter.warning(QStringLiteral("文件名不能为空"));
        return false;
    }

    Automation::ComSystem &com = registry.com();
    const Automation::ComStatus status = com.initialize();
    if (status < 0) {
        reporter.warning(QStringLiteral("COM初始化失败: ")
                         + Automation::comErrorDescription(status, com.systemMessage(status)));
        return false;
    }

    const QString outputName = withXlsxSuffix(fileName);
    const TemplateChoice choice = chooseTemplate(source.style, source.configPath, source.templateDirectory,
                                                 source.fallbackTemplateDirectory, source.customTemplate);
    if (choice.path.isEmpty()) {
        reporter.warning(choice.error);
        com.uninitialize();
        return false;
    }

    Application application = createApplication(registry, reporter);
    if (!application.object) {
        reporter.warning(QStringLiteral("无法创建 Excel 或 WPS 对象，请确保已安装 Microsoft Excel 或 WPS Office"));
        com.uninitialize();
        return false;
    }

    bool result = false;
    ObjectPtr workbooks;
    ObjectPtr workbook;
    ObjectPtr sheets;
    ObjectPtr sheet;
    Automation::Object &app = *application.object;
    try {
        app.setProperty(Members::Visible, false);
        app.setProperty(Members::DisplayAlerts, false);
        app.setProperty(Members::ScreenUpdating, false);

        workbooks = required(app.querySubObject(Members::Workbooks), QStringLiteral("无法获取Workbooks对象"));
        workbook = required(workbooks->querySubObject(Members::Open, {QDir::toNativeSeparators(choice.path)}),
                            QStringLiteral("无法打开模板文件"));
        sheets = required(workbook->querySubObject(Members::Sheets), QStringLiteral("无法获取Sheets集合"));
        sheet = required(sheets->querySubObject(Members::Item, {1}), QStringLiteral("无法获取工作表"));

        fillSheet(*sheet, source.model, planDate());

        const QString savePath = QDir::toNativeSeparators(outputName);
        save(application, *workbook, savePath, reporter);

        // Reopened rather than only looked at: a full disk can leave a
        // truncated archive that only its checksums give away.
        const QFileInfo saved(outputName);
        if (!saved.exists() || saved.size() == 0 || !Xlsx::Package::isIntact(outputName))
            throw Error(QStringLiteral("文件保存失败，请检查路径和权限"));

        app.setProperty(Members::ScreenUpdating, true);
        app.setProperty(Members::DisplayAlerts, true);

        reporter.exported(savePath);
        result = true;
    } catch (const Error &error) {
        reporter.critical(failureText(error.message()));
    } catch (const std::exception &error) {
        reporter.critical(failureText(QString::fromUtf8(error.what())));
    } catch (...) {
        reporter.critical(failureText(QString()));
    }

    if (workbook) {
        try {
            workbook->dynamicCall(Members::Close, {false});
        } catch (...) {
        }
    }
    try {
        app.dynamicCall(Members::Quit);
    } catch (...) {
    }
    sheet.reset();
    sheets.reset();
    workbook.reset();
    workbooks.reset();
    application.object.reset();
    com.uninitialize();
    return result;
}

} // namespace SeatPlan
