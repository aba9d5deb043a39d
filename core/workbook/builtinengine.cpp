#include "core/workbook/builtinengine.h"

#include "core/workbook/xlsx/workbook.h"

#include <QFileInfo>
#include <QHash>

#include <cstring>
#include <vector>

namespace BuiltInEngine {
namespace {

using Automation::Error;
using Automation::Member;
using Automation::MemberId;
using Automation::Object;
using Automation::ObjectPtr;

[[noreturn]] void unsupported(Member member)
{
    throw Error(QStringLiteral("内置表格引擎不支持 %1").arg(QString::fromLatin1(member.name())));
}

void expectArguments(Member member, const QVariantList &arguments, int count)
{
    if (arguments.size() != count)
        throw Error(QStringLiteral("%1 的参数个数不对").arg(QString::fromLatin1(member.name())));
}

// Cells are asked for by the thousand and each lives only while the scan
// looks at it: their memory is kept for the next one rather than returned
// to the heap. Only for final classes, so that the size always matches.
template<typename T>
class Recycled
{
public:
    static void *operator new(std::size_t size)
    {
        std::vector<void *> &spare = pool();
        if (size != sizeof(T) || spare.empty())
            return ::operator new(size);
        void *block = spare.back();
        spare.pop_back();
        return block;
    }
    static void operator delete(void *block, std::size_t size)
    {
        std::vector<void *> &spare = pool();
        if (size == sizeof(T) && spare.size() < kKept)
            spare.push_back(block);
        else
            ::operator delete(block);
    }

private:
    static constexpr std::size_t kKept = 16;
    struct Pool
    {
        Pool() { blocks.reserve(kKept); }
        ~Pool()
        {
            for (void *block : blocks)
                ::operator delete(block);
        }
        std::vector<void *> blocks;
    };
    static std::vector<void *> &pool()
    {
        thread_local Pool pool;
        return pool.blocks;
    }
};

// A format change as the automation model states it: the cell's format,
// the member set and its value. The same change of the same format always
// yields the same derived format, so each is worked out once.
struct FormatKey
{
    int xf;
    MemberId member;
    qint64 value;
    bool operator==(const FormatKey &other) const
    {
        return xf == other.xf && member == other.member && value == other.value;
    }
};

size_t qHash(const FormatKey &key, size_t seed = 0)
{
    return qHashMulti(seed, key.xf, int(key.member), key.value);
}

struct OpenWorkbook
{
    std::unique_ptr<Xlsx::Workbook> book;
    bool closed = false;
    QHash<FormatKey, int> derivedFormats;

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
        derivedFormats.clear();
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
    QVariant property(Member name) override { unsupported(name); }
    void setProperty(Member name, const QVariant &) override { unsupported(name); }
    ObjectPtr querySubObject(Member, const QVariantList &) override { return nullptr; }
    QVariant dynamicCall(Member member, const QVariantList &) override { unsupported(member); }
};

class Count final : public Leaf
{
public:
    explicit Count(int count) : m_count(count) {}
    QVariant property(Member name) override
    {
        if (name.id() != MemberId::Count)
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
    ObjectPtr querySubObject(Member member, const QVariantList &) override
    {
        switch (member.id()) {
        case MemberId::Rows:
            return std::make_unique<Count>(m_rows);
        case MemberId::Columns:
            return std::make_unique<Count>(m_columns);
        default:
            return nullptr;
        }
    }

private:
    int m_rows;
    int m_columns;
};

// One cell of an open workbook, the address through which the automation
// objects reach its content and format.
struct CellRef
{
    Handle handle;
    Xlsx::Sheet *sheet;
    int row;
    int column;

    Xlsx::Workbook &book() const { return handle->get(); }
    int xf() const { return book().styleOf(*sheet, row, column); }
    // The cell's format after a change, derived through make() only the
    // first time this change meets this format.
    template<typename Make>
    void change(MemberId member, qint64 value, Make make) const
    {
        Xlsx::Workbook &workbook = book();
        const int from = workbook.styleOf(*sheet, row, column);
        const FormatKey key{from, member, value};
        auto found = handle->derivedFormats.constFind(key);
        if (found == handle->derivedFormats.constEnd())
            found = handle->derivedFormats.insert(key, make(workbook.styles(), from));
        workbook.setStyle(*sheet, row, column, found.value());
    }
};

class Font final : public Leaf
{
public:
    explicit Font(CellRef cell) : m_cell(std::move(cell)) {}
    QVariant property(Member name) override
    {
        const Xlsx::Styles &styles = m_cell.book().styles();
        switch (name.id()) {
        case MemberId::Size:
            return styles.fontSize(m_cell.xf());
        case MemberId::Bold:
            return styles.bold(m_cell.xf());
        default:
            unsupported(name);
        }
    }
    void setProperty(Member name, const QVariant &value) override
    {
        switch (name.id()) {
        case MemberId::Size: {
            bool ok = false;
            const double size = value.toDouble(&ok);
            if (!ok || size < 1 || size > 409)
                throw Error(QStringLiteral("无效的字号 %1").arg(value.toString()));
            qint64 bits = 0;
            std::memcpy(&bits, &size, sizeof bits);
            m_cell.change(MemberId::Size, bits, [size](Xlsx::Styles &styles, int xf) { return styles.withFontSize(xf, size); });
            break;
        }
        case MemberId::Bold: {
            const bool bold = value.toBool();
            m_cell.change(MemberId::Bold, bold, [bold](Xlsx::Styles &styles, int xf) { return styles.withBold(xf, bold); });
            break;
        }
        default:
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
    QVariant property(Member name) override
    {
        if (name.id() != MemberId::Color)
            unsupported(name);
        const std::optional<quint32> argb = m_cell.book().styles().solidFill(m_cell.xf());
        const quint32 rgb = argb ? *argb & 0xFFFFFFu : 0xFFFFFFu; // no fill reads as white
        return int(((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF));
    }
    void setProperty(Member name, const QVariant &value) override
    {
        if (name.id() != MemberId::Color)
            unsupported(name);
        bool ok = false;
        const qlonglong bgr = value.toLongLong(&ok);
        if (!ok || bgr < 0 || bgr > 0xFFFFFF)
            throw Error(QStringLiteral("无效的颜色值 %1").arg(value.toString()));
        const quint32 argb = 0xFF000000u | quint32((bgr & 0xFF) << 16) | quint32(bgr & 0xFF00)
            | quint32((bgr >> 16) & 0xFF);
        m_cell.change(MemberId::Color, argb, [argb](Xlsx::Styles &styles, int xf) { return styles.withSolidFill(xf, argb); });
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
const char *alignmentName(const AlignmentName (&table)[N], const QVariant &value)
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

class Cell final : public Object, public Recycled<Cell>
{
public:
    explicit Cell(CellRef cell) : m_cell(std::move(cell)) {}

    QVariant property(Member name) override
    {
        Xlsx::Workbook &book = m_cell.book();
        const Xlsx::Styles &styles = book.styles();
        switch (name.id()) {
        case MemberId::Value:
            return book.value(*m_cell.sheet, m_cell.row, m_cell.column);
        case MemberId::HorizontalAlignment:
            return alignmentConstant(kHorizontal, styles.alignment(m_cell.xf(), "horizontal"), 1);
        case MemberId::VerticalAlignment:
            return alignmentConstant(kVertical, styles.alignment(m_cell.xf(), "vertical"), -4107);
        case MemberId::WrapText: {
            const QString wrap = styles.alignment(m_cell.xf(), "wrapText");
            return wrap == QStringLiteral("1") || wrap == QStringLiteral("true");
        }
        default:
            unsupported(name);
        }
    }

    void setProperty(Member name, const QVariant &value) override
    {
        switch (name.id()) {
        case MemberId::Value:
            m_cell.book().setText(*m_cell.sheet, m_cell.row, m_cell.column, value.isNull() ? QString() : value.toString());
            break;
        case MemberId::HorizontalAlignment:
            setAlignment(name, "horizontal", alignmentName(kHorizontal, value), value.toInt());
            break;
        case MemberId::VerticalAlignment:
            setAlignment(name, "vertical", alignmentName(kVertical, value), value.toInt());
            break;
        case MemberId::WrapText:
            setAlignment(name, "wrapText", value.toBool() ? "1" : "0", value.toBool());
            break;
        default:
            unsupported(name);
        }
    }

    ObjectPtr querySubObject(Member member, const QVariantList &) override
    {
        m_cell.book();
        switch (member.id()) {
        case MemberId::Font:
            return std::make_unique<Font>(m_cell);
        case MemberId::Interior:
            return std::make_unique<Interior>(m_cell);
        default:
            return nullptr;
        }
    }

    QVariant dynamicCall(Member member, const QVariantList &) override { unsupported(member); }

private:
    void setAlignment(Member name, const char *attribute, const char *text, qint64 key)
    {
        m_cell.change(name.id(), key, [attribute, text](Xlsx::Styles &styles, int xf) {
            return styles.withAlignment(xf, attribute, text);
        });
    }

    CellRef m_cell;
};

class Worksheet final : public Leaf
{
public:
    Worksheet(Handle handle, Xlsx::Sheet *sheet) : m_handle(std::move(handle)), m_sheet(sheet) {}

    ObjectPtr querySubObject(Member member, const QVariantList &arguments) override
    {
        m_handle->get();
        switch (member.id()) {
        case MemberId::Cells: {
            expectArguments(member, arguments, 2);
            const int row = arguments.at(0).toInt();
            const int column = arguments.at(1).toInt();
            if (row < 1 || row > Xlsx::kMaxRows || column < 1 || column > Xlsx::kMaxColumns)
                return nullptr;
            return std::make_unique<Cell>(CellRef{m_handle, m_sheet, row, column});
        }
        case MemberId::UsedRange: {
            const Xlsx::Sheet::Bounds bounds = m_sheet->usedBounds();
            const int rows = bounds.lastRow - bounds.firstRow + 1;
            const int columns = bounds.lastColumn - bounds.firstColumn + 1;
            if (qint64(rows) * columns > kMaxUsedCells)
                throw Error(QStringLiteral("模板工作表的已用区域过大（%1 行 × %2 列）").arg(rows).arg(columns));
            return std::make_unique<UsedRange>(rows, columns);
        }
        default:
            return nullptr;
        }
    }

private:
    Handle m_handle;
    Xlsx::Sheet *m_sheet;
};

class Sheets final : public Leaf
{
public:
    explicit Sheets(Handle handle) : m_handle(std::move(handle)) {}

    QVariant property(Member name) override
    {
        if (name.id() != MemberId::Count)
            unsupported(name);
        return m_handle->get().sheetCount();
    }

    ObjectPtr querySubObject(Member member, const QVariantList &arguments) override
    {
        if (member.id() != MemberId::Item)
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

    ObjectPtr querySubObject(Member member, const QVariantList &) override
    {
        m_handle->get();
        return member.id() == MemberId::Sheets ? std::make_unique<Sheets>(m_handle) : nullptr;
    }

    QVariant dynamicCall(Member member, const QVariantList &arguments) override
    {
        switch (member.id()) {
        case MemberId::SaveAsFormat:
            expectArguments(member, arguments, 2);
            if (arguments.at(1).toInt() != 51)
                throw Error(QStringLiteral("内置表格引擎只能保存为 xlsx 格式"));
            m_handle->get().saveAs(arguments.at(0).toString());
            return {};
        case MemberId::Close:
            m_handle->close();
            return {};
        default:
            unsupported(member);
        }
    }

private:
    Handle m_handle;
};

class Workbooks final : public Leaf
{
public:
    explicit Workbooks(std::shared_ptr<Session> session) : m_session(std::move(session)) {}

    ObjectPtr querySubObject(Member member, const QVariantList &arguments) override
    {
        if (member.id() != MemberId::Open)
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
    QVariant property(Member name) override { return setting(name); }

    void setProperty(Member name, const QVariant &value) override
    {
        // Nothing is ever shown, so these only have to be remembered.
        setting(name) = value.toBool();
    }

    ObjectPtr querySubObject(Member member, const QVariantList &) override
    {
        switch (member.id()) {
        case MemberId::Workbooks:
            return std::make_unique<Workbooks>(m_session);
        case MemberId::ActiveWorkbook:
            for (auto it = m_session->open.rbegin(); it != m_session->open.rend(); ++it) {
                if (!(*it)->closed)
                    return std::make_unique<Workbook>(*it);
            }
            return nullptr;
        default:
            return nullptr;
        }
    }

    QVariant dynamicCall(Member member, const QVariantList &) override
    {
        if (member.id() != MemberId::Quit)
            unsupported(member);
        for (const Handle &handle : m_session->open)
            handle->close();
        m_session->open.clear();
        return {};
    }

private:
    bool &setting(Member name)
    {
        switch (name.id()) {
        case MemberId::Visible:
            return m_visible;
        case MemberId::DisplayAlerts:
            return m_displayAlerts;
        case MemberId::ScreenUpdating:
            return m_screenUpdating;
        default:
            unsupported(name);
        }
    }

    std::shared_ptr<Session> m_session = std::make_shared<Session>();
    bool m_visible = false;
    bool m_displayAlerts = true;
    bool m_screenUpdating = true;
};

} // namespace

Automation::ObjectPtr createApplication()
{
    return std::make_unique<Application>();
}

} // namespace BuiltInEngine
