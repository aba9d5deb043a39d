#pragma once

#include "core/workbook/applicationregistry.h"
#include "core/model/classmodel.h"

#include <QString>

#include <functional>
#include <optional>

// Filling a template workbook with the current arrangement through a
// spreadsheet application, and the file names the file commands propose.
namespace SeatPlan {

inline const QString kStyle1File = QStringLiteral("座位样式1.xlsx");
inline const QString kStyle2File = QStringLiteral("座位样式2.xlsx");
inline const QString kFileFilter = QStringLiteral("Excel文件 (*.xlsx)");

// What the export reads from the window.
struct Source
{
    const ClassModel &model;
    QString style;
    QString configPath;
    // Where the two built-in templates are looked up: first here, then in
    // the fallback.
    QString templateDirectory;
    QString fallbackTemplateDirectory = QString();
    // When not empty, the custom style's template instead of "Style/CustomPath".
    QString customTemplate = QString();
};

// How the export speaks to the user; the window shows the boxes and writes
// the log. Each is called at the moment the export reaches that point.
struct Reporter
{
    std::function<void(const QString &)> warning;  // warning box "错误"
    std::function<void(const QString &)> critical; // critical box "错误"
    std::function<void(const QString &)> detail;   // plain log line
    // The saved file was verified: open it and log the outcome.
    std::function<void(const QString &savePath)> exported;
};

// Fills the template chosen by the style and saves it under fileName (with
// ".xlsx" appended when missing). True when the saved file was verified.
bool writeSeatTable(const QString &fileName, const Source &source, const Reporter &reporter,
                    Automation::ApplicationRegistry &registry = Automation::ApplicationRegistry::instance());

// The name with ".xlsx" appended unless it already ends so, in any case.
QString withXlsxSuffix(const QString &fileName);
// The same for ".pdf".
QString withPdfSuffix(const QString &fileName);

// The local time stamp that starts every proposed file name.
QString timeStamp();

// Today as written into seating plans.
QString planDate();

struct TemplateChoice
{
    QString path;  // empty when there is none
    QString error; // the warning to show then
};
TemplateChoice chooseTemplate(const QString &style, const QString &configPath, const QString &templateDirectory,
                              const QString &fallbackTemplateDirectory = QString(),
                              const QString &customTemplate = QString());

// A cell of a template that stands for a seat: the whole text "g-s", with g the
// 1-based group position and s the 1-based seat within it. Numbers too large
// to convert read as 0.
struct SeatMarker
{
    int group = 0;
    int seat = 0;
};
std::optional<SeatMarker> parseSeatMarker(const QString &text);

// Writes the date and names into the marker cells of a sheet, visiting every
// cell of the used range's size from A1.
void fillSheet(Automation::Object &sheet, const ClassModel &model, const QString &date);

} // namespace SeatPlan
