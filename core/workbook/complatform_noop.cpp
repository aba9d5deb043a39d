// Platforms without COM: initialisation succeeds and does nothing, and no
// spreadsheet application can be reached by program identifier.
#include "core/workbook/applicationregistry.h"

namespace Automation {
namespace {

class NoComSystem final : public ComSystem
{
public:
    bool hasCom() const override { return false; }
    ComStatus initialize() override { return 0; }
    void uninitialize() override {}
    QString systemMessage(ComStatus) const override { return QString(); }
    ObjectPtr create(const QString &) override { return nullptr; }
};

} // namespace

ComSystem &platformComSystem()
{
    static NoComSystem system;
    return system;
}

} // namespace Automation
