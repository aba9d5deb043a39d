#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <pugixml.hpp>

#include <string_view>
#include <vector>

namespace Xlsx {

constexpr int kMaxRows = 1048576;
constexpr int kMaxColumns = 16384;

// "C3" -> row 3, column 3; false for anything that is not a cell reference
// within the sheet's limits.
bool parseCellReference(std::string_view reference, int &row, int &column);
QByteArray cellReference(int row, int column);

// Whether a worksheet part may hold a formula: it has an <f> element,
// whatever its prefix. Cheap enough to run over parts that are not parsed.
bool mayHoldFormulas(const QByteArray &worksheetXml);

// One worksheet part: its cells indexed by position. Rows and cells without
// an explicit position get one when the part is read, so that inserting
// cells later never shifts the ones that follow.
class Sheet
{
public:
    struct Bounds
    {
        int firstRow = 1;
        int firstColumn = 1;
        int lastRow = 1;
        int lastColumn = 1;
    };

    Sheet(const QByteArray &xml, const QString &partName);

    // The box around every cell the sheet holds, values or formatting; A1
    // alone for an empty sheet.
    Bounds usedBounds() const;
    // Null when the sheet holds no such cell.
    pugi::xml_node cell(int row, int column) const;
    // Rows that hold any element, ascending, and the columns of a row's cells.
    QList<int> rowNumbers() const;
    QList<int> columnsOf(int row) const;
    // Whether the row is hidden (a filter or the user hid it).
    bool isRowHidden(int row) const;
    // The cell, created in its place (rows and cells ascending) when missing.
    pugi::xml_node ensureCell(int row, int column);

    bool holdsFormulas() const { return m_formulas; }
    // Takes the cached results out of the formula cells, so that no program
    // can show a result computed before the sheet was filled.
    void dropFormulaResults();

    // The name of a cell's value element, with the prefix the part's cells
    // are written with.
    const char *valueElementName() const { return m_valueName.constData(); }

    void markDirty() { m_dirty = true; }
    bool isDirty() const { return m_dirty; }
    QByteArray serialize();

private:
    struct CellEntry
    {
        int column;
        pugi::xml_node node;
    };
    struct Row
    {
        int number;
        pugi::xml_node node;
        std::vector<CellEntry> cells; // by column
    };

    // The row's index in m_rows, or where it would go; a scan asks for the
    // rows in order, so the last answer and its successor are tried first.
    size_t rowIndex(int row) const;

    QString m_partName;
    pugi::xml_document m_document;
    pugi::xml_node m_sheetData;
    std::vector<Row> m_rows; // by row number
    mutable size_t m_lastRow = 0;
    // The cell asked for last: a cell being filled is asked for again and
    // again, once per property.
    mutable int m_lastCellRow = 0;
    mutable int m_lastCellColumn = 0;
    mutable pugi::xml_node m_lastCell;
    QByteArray m_prefix;
    QByteArray m_valueName;
    bool m_formulas = false;
    bool m_dirty = false;
};

} // namespace Xlsx
