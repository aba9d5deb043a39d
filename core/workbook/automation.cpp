#include "core/workbook/automation.h"

#include <cstring>

namespace Automation {

Error::Error(QString message)
    : m_message(std::move(message))
    , m_utf8(m_message.toUtf8())
{
}

MemberId Member::id() const
{
    if (m_id != MemberId::Other || !m_name)
        return m_id;
    static constexpr Member kKnown[] = {
        Members::Visible,        Members::DisplayAlerts,     Members::ScreenUpdating, Members::Workbooks,
        Members::Open,           Members::Sheets,            Members::Item,           Members::UsedRange,
        Members::Rows,           Members::Columns,           Members::Count,          Members::Cells,
        Members::Value,          Members::HorizontalAlignment, Members::VerticalAlignment, Members::WrapText,
        Members::Font,           Members::Size,              Members::Bold,           Members::Interior,
        Members::Color,          Members::SaveAsFormat,      Members::SaveAsWps,      Members::SaveAsVariant,
        Members::SaveAsString,   Members::ActiveWorkbook,    Members::Close,          Members::Quit,
    };
    for (const Member &known : kKnown) {
        if (std::strcmp(known.m_name, m_name) == 0)
            return known.m_id;
    }
    return MemberId::Other;
}

Object::~Object() = default;

} // namespace Automation
