#pragma once

#include "core/workbook/xlsx/package.h"
#include "core/workbook/xlsx/sharedstrings.h"
#include "core/workbook/xlsx/sheet.h"
#include "core/workbook/xlsx/styles.h"

#include <QList>
#include <QString>
#include <QVariant>

#include <memory>
#include <vector>

namespace Xlsx {

// An .xlsx workbook read from a file: its sheets in workbook order, the
// shared strings and the style sheet. Saving writes the changed parts and
// copies every other entry of the package unchanged.
class Workbook
{
public:
    // Raises Automation::Error when the file is not a readable workbook.
    explicit Workbook(const QString &path);

    QString path() const { return m_path; }
    int sheetCount() const { return int(m_sheets.size()); }
    QString sheetName(int index) const { return m_sheets.at(size_t(index)).name; }
    // False for a sheet that holds no cells (a chart sheet).
    bool isWorksheet(int index) const { return m_sheets.at(size_t(index)).worksheet; }
    // 0-based, in workbook order; raises for a sheet that holds no cells
    // (a chart sheet).
    Sheet &sheet(int index);

    // The cell's content: text (shared, inline, rich), a number, a boolean
    // or a cached formula result; invalid when empty.
    QVariant value(const Sheet &sheet, int row, int column) const;
    // Empty text clears the cell's content but keeps its format.
    void setText(Sheet &sheet, int row, int column, const QString &text);

    int styleOf(const Sheet &sheet, int row, int column) const;
    void setStyle(Sheet &sheet, int row, int column, int xf);
    Styles &styles() { return m_styles; }
    const Styles &styles() const { return m_styles; }

    // Never over the file the workbook was read from.
    void saveAs(const QString &path);

private:
    struct SheetEntry
    {
        QString name;
        QString part;
        bool worksheet = false;
        std::unique_ptr<Sheet> sheet;
    };

    // Formulas elsewhere may depend on the filled cells; spreadsheet programs
    // are asked to recalculate everything when they open the file.
    void requestFullCalculation();

    QString m_path;
    Package m_package;
    QString m_workbookPart;
    std::vector<SheetEntry> m_sheets;
    SharedStrings m_strings;
    QString m_stringsPart;
    Styles m_styles;
    QString m_stylesPart;
    QString m_calcChainPart;
    QString m_calcChainId;
    bool m_formulaRemoved = false;
};

} // namespace Xlsx
