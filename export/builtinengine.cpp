#include "export/builtinengine.h"

#include "export/xlsx/workbook.h"

#include <QFileInfo>
#include <QVariantMap>

#include <cstring>
#include <vector>

namespace BuiltInEngine {
namespace {

using Automation::Error;
using Automation::Object;
using Automation::ObjectPtr;

bool is(const char *member, const char *expected)
{
    return std::strcmp(member, expected) == 0;
}

[[noreturn]] void unsupported(const char *member)
{
    throw Error(QStringLiteral("内置表格引擎不支持 %1").arg(QString::fromLatin1(member)));
}

void expectArguments(const char *member, const QVariantList &arguments, int count)
{
    if (arguments.size() != count)
        throw Error(QStringLiteral("%1 的参数个数不对").arg(QString::fromLatin1(member)));
}

struct OpenWorkbook
{
    std::unique_ptr<Xlsx::Workbook> book;
    bool closed = false;

    Xlsx::Workbook &get()
    {
        if (closed)
            throw Error(QStringLiteral("工作簿已关闭"));
        return *book;
    }
    void close()
    {
        closed = true;
        book.reset();
    }
};
using Handle = std::shared_ptr<OpenWorkbook>;

struct Session
{
    std::vector<Handle> open;
};

// Objects without members of their own.
class Leaf : public Object
{
public:
    QVariant property(const char *name) override { unsupported(name); }
    void setProperty(const char *name, const QVariant &) override { unsupported(name); }
    ObjectPtr querySubObject(const char *, const QVariantList &) override { return nullptr; }
    QVariant dynamicCall(const char *member, const QVariantList &) override { unsupported(member); }
};

class Count final : public Leaf
{
public:
    explicit Count(int count) : m_count(count) {}
    QVariant property(const char *name) override
    {
        if (!is(name, "Count"))
            unsupported(name);
        return m_count;
    }

private:
    int m_count;
};

class UsedRange final : public Leaf
{
public:
    UsedRange(int rows, int columns) : m_rows(rows), m_columns(columns) {}
    ObjectPtr querySubObject(const char *member, const QVariantList &) override
    {
        if (is(member, "Rows"))
            return std::make_unique<Count>(m_rows);
        if (is(member, "Columns"))
            return std::make_unique<Count>(m_columns);
        return nullptr;
    }

private:
    int m_rows;
    int m_columns;
};

// The parts of a cell's format the automation model reaches.
struct CellRef
{
    Handle handle;
    Xlsx::Sheet *sheet;
    int row;
    int column;

    Xlsx::Workbook &book() const { return handle->get(); }
    int xf() const { return book().styleOf(*sheet, row, column); }
    void setXf(int xf) const { book().setStyle(*sheet, row, column, xf); }
};

class Font final : public Leaf
{
public:
    explicit Font(CellRef cell) : m_cell(std::move(cell)) {}
    QVariant property(const char *name) override
    {
        const Xlsx::Styles &styles = m_cell.book().styles();
        if (is(name, "Size"))
            return styles.fontSize(m_cell.xf());
        if (is(name, "Bold"))
            return styles.bold(m_cell.xf());
        unsupported(name);
    }
    void setProperty(const char *name, const QVariant &value) override
    {
        Xlsx::Styles &styles = m_cell.book().styles();
        if (is(name, "Size")) {
            bool ok = false;
            const double size = value.toDouble(&ok);
            if (!ok || size < 1 || size > 409)
                throw Error(QStringLiteral("无效的字号 %1").arg(value.toString()));
            m_cell.setXf(styles.withFontSize(m_cell.xf(), size));
        } else if (is(name, "Bold")) {
            m_cell.setXf(styles.withBold(m_cell.xf(), value.toBool()));
        } else {
            unsupported(name);
        }
    }

private:
    CellRef m_cell;
};

// Colours are 0x00BBGGRR, as the spreadsheet programs read them.
class Interior final : public Leaf
{
public:
    explicit Interior(CellRef cell) : m_cell(std::move(cell)) {}
    QVariant property(const char *name) override
    {
        if (!is(name, "Color"))
            unsupported(name);
        const std::optional<quint32> argb = m_cell.book().styles().solidFill(m_cell.xf());
        const quint32 rgb = argb ? *argb & 0xFFFFFFu : 0xFFFFFFu; // no fill reads as white
        return int(((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF));
    }
    void setProperty(const char *name, const QVariant &value) override
    {
        if (!is(name, "Color"))
            unsupported(name);
        bool ok = false;
        const qlonglong bgr = value.toLongLong(&ok);
        if (!ok || bgr < 0 || bgr > 0xFFFFFF)
            throw Error(QStringLiteral("无效的颜色值 %1").arg(value.toString()));
        const quint32 argb = 0xFF000000u | quint32((bgr & 0xFF) << 16) | quint32(bgr & 0xFF00)
            | quint32((bgr >> 16) & 0xFF);
        m_cell.setXf(m_cell.book().styles().withSolidFill(m_cell.xf(), argb));
    }

private:
    CellRef m_cell;
};

struct AlignmentName
{
    int constant;
    const char *name;
};
const AlignmentName kHorizontal[] = {{1, "general"},   {-4131, "left"},  {-4108, "center"},
                                     {-4152, "right"}, {5, "fill"},      {-4130, "justify"},
                                     {7, "centerContinuous"}, {-4117, "distributed"}};
const AlignmentName kVertical[] = {
    {-4160, "top"}, {-4108, "center"}, {-4107, "bottom"}, {-4130, "justify"}, {-4117, "distributed"}};

template<size_t N>
QByteArray alignmentName(const AlignmentName (&table)[N], const QVariant &value)
{
    bool ok = false;
    const int constant = value.toInt(&ok);
    for (const AlignmentName &entry : table) {
        if (ok && entry.constant == constant)
            return entry.name;
    }
    throw Error(QStringLiteral("不支持的对齐方式 %1").arg(value.toString()));
}

template<size_t N>
int alignmentConstant(const AlignmentName (&table)[N], const QString &name, int absent)
{
    for (const AlignmentName &entry : table) {
        if (name == QLatin1String(entry.name))
            return entry.constant;
    }
    return absent;
}

class Cell final : public Object
{
public:
    explicit Cell(CellRef cell) : m_cell(std::move(cell)) {}

    QVariant property(const char *name) override
    {
        Xlsx::Workbook &book = m_cell.book();
        const Xlsx::Styles &styles = book.styles();
        if (is(name, "Value"))
            return book.value(*m_cell.sheet, m_cell.row, m_cell.column);
        if (is(name, "HorizontalAlignment"))
            return alignmentConstant(kHorizontal, styles.alignment(m_cell.xf(), "horizontal"), 1);
        if (is(name, "VerticalAlignment"))
            return alignmentConstant(kVertical, styles.alignment(m_cell.xf(), "vertical"), -4107);
        if (is(name, "WrapText")) {
            const QString wrap = styles.alignment(m_cell.xf(), "wrapText");
            return wrap == QStringLiteral("1") || wrap == QStringLiteral("true");
        }
        unsupported(name);
    }

    void setProperty(const char *name, const QVariant &value) override
    {
        Xlsx::Workbook &book = m_cell.book();
        Xlsx::Styles &styles = book.styles();
        if (is(name, "Value"))
            book.setText(*m_cell.sheet, m_cell.row, m_cell.column, value.isNull() ? QString() : value.toString());
        else if (is(name, "HorizontalAlignment"))
            m_cell.setXf(styles.withAlignment(m_cell.xf(), "horizontal", alignmentName(kHorizontal, value)));
        else if (is(name, "VerticalAlignment"))
            m_cell.setXf(styles.withAlignment(m_cell.xf(), "vertical", alignmentName(kVertical, value)));
        else if (is(name, "WrapText"))
            m_cell.setXf(styles.withAlignment(m_cell.xf(), "wrapText", value.toBool() ? "1" : "0"));
        else
            unsupported(name);
    }

    ObjectPtr querySubObject(const char *member, const QVariantList &) override
    {
        m_cell.book();
        if (is(member, "Font"))
            return std::make_unique<Font>(m_cell);
        if (is(member, "Interior"))
            return std::make_unique<Interior>(m_cell);
        return nullptr;
    }

    QVariant dynamicCall(const char *member, const QVariantList &) override { unsupported(member); }

private:
    CellRef m_cell;
};

class Worksheet final : public Leaf
{
public:
    Worksheet(Handle handle, Xlsx::Sheet *sheet) : m_handle(std::move(handle)), m_sheet(sheet) {}

    ObjectPtr querySubObject(const char *member, const QVariantList &arguments) override
    {
        m_handle->get();
        if (is(member, "UsedRange")) {
            const Xlsx::Sheet::Bounds bounds = m_sheet->usedBounds();
            const int rows = bounds.lastRow - bounds.firstRow + 1;
            const int columns = bounds.lastColumn - bounds.firstColumn + 1;
            if (qint64(rows) * columns > kMaxUsedCells)
                throw Error(QStringLiteral("模板工作表的已用区域过大（%1 行 × %2 列）").arg(rows).arg(columns));
            return std::make_unique<UsedRange>(rows, columns);
        }
        if (is(member, "Cells(int,int)")) {
            expectArguments(member, arguments, 2);
            const int row = arguments.at(0).toInt();
            const int column = arguments.at(1).toInt();
            if (row < 1 || row > Xlsx::kMaxRows || column < 1 || column > Xlsx::kMaxColumns)
                return nullptr;
            return std::make_unique<Cell>(CellRef{m_handle, m_sheet, row, column});
        }
        return nullptr;
    }

private:
    Handle m_handle;
    Xlsx::Sheet *m_sheet;
};

class Sheets final : public Leaf
{
public:
    explicit Sheets(Handle handle) : m_handle(std::move(handle)) {}

    QVariant property(const char *name) override
    {
        if (!is(name, "Count"))
            unsupported(name);
        return m_handle->get().sheetCount();
    }

    ObjectPtr querySubObject(const char *member, const QVariantList &arguments) override
    {
        if (!is(member, "Item(int)"))
            return nullptr;
        expectArguments(member, arguments, 1);
        Xlsx::Workbook &book = m_handle->get();
        const int index = arguments.at(0).toInt();
        if (index < 1 || index > book.sheetCount())
            return nullptr;
        return std::make_unique<Worksheet>(m_handle, &book.sheet(index - 1));
    }

private:
    Handle m_handle;
};

class Workbook final : public Leaf
{
public:
    explicit Workbook(Handle handle) : m_handle(std::move(handle)) {}

    ObjectPtr querySubObject(const char *member, const QVariantList &) override
    {
        m_handle->get();
        return is(member, "Sheets") ? std::make_unique<Sheets>(m_handle) : nullptr;
    }

    QVariant dynamicCall(const char *member, const QVariantList &arguments) override
    {
        if (is(member, "SaveAs(const QString&, int)")) {
            expectArguments(member, arguments, 2);
            if (arguments.at(1).toInt() != 51)
                throw Error(QStringLiteral("内置表格引擎只能保存为 xlsx 格式"));
            m_handle->get().saveAs(arguments.at(0).toString());
            return {};
        }
        if (is(member, "Close(Boolean)")) {
            m_handle->close();
            return {};
        }
        unsupported(member);
    }

private:
    Handle m_handle;
};

class Workbooks final : public Leaf
{
public:
    explicit Workbooks(std::shared_ptr<Session> session) : m_session(std::move(session)) {}

    ObjectPtr querySubObject(const char *member, const QVariantList &arguments) override
    {
        if (!is(member, "Open(const QString&)"))
            return nullptr;
        expectArguments(member, arguments, 1);
        const QString path = arguments.at(0).toString();
        if (!QFileInfo(path).isFile())
            return nullptr;
        auto handle = std::make_shared<OpenWorkbook>();
        handle->book = std::make_unique<Xlsx::Workbook>(path);
        m_session->open.push_back(handle);
        return std::make_unique<Workbook>(handle);
    }

private:
    std::shared_ptr<Session> m_session;
};

class Application final : public Object
{
public:
    QVariant property(const char *name) override
    {
        if (!m_settings.contains(QLatin1String(name)))
            unsupported(name);
        return m_settings.value(QLatin1String(name));
    }

    void setProperty(const char *name, const QVariant &value) override
    {
        // Nothing is ever shown, so these only have to be remembered.
        if (!m_settings.contains(QLatin1String(name)))
            unsupported(name);
        m_settings.insert(QLatin1String(name), value.toBool());
    }

    ObjectPtr querySubObject(const char *member, const QVariantList &) override
    {
        if (is(member, "Workbooks"))
            return std::make_unique<Workbooks>(m_session);
        if (is(member, "ActiveWorkbook")) {
            for (auto it = m_session->open.rbegin(); it != m_session->open.rend(); ++it) {
                if (!(*it)->closed)
                    return std::make_unique<Workbook>(*it);
            }
        }
        return nullptr;
    }

    QVariant dynamicCall(const char *member, const QVariantList &) override
    {
        if (!is(member, "Quit()"))
            unsupported(member);
        for (const Handle &handle : m_session->open)
            handle->close();
        m_session->open.clear();
        return {};
    }

private:
    std::shared_ptr<Session> m_session = std::make_shared<Session>();
    QVariantMap m_settings{{QStringLiteral("Visible"), false},
                           {QStringLiteral("DisplayAlerts"), true},
                           {QStringLiteral("ScreenUpdating"), true}};
};

} // namespace

Automation::ObjectPtr createApplication()
{
    return std::make_unique<Application>();
}

} // namespace BuiltInEngine
