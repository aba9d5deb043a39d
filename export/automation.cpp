#include "export/automation.h"

namespace Automation {

Error::Error(QString message)
    : m_message(std::move(message))
    , m_utf8(m_message.toUtf8())
{
}

Object::~Object() = default;

} // namespace Automation
