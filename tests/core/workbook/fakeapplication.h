#pragma once

#include "core/workbook/applicationregistry.h"

#include <QMap>
#include <QPair>
#include <QSet>
#include <QStringList>

#include <memory>

// A scripted stand-in for a spreadsheet application: a sheet of values, and
// switches that make members fail or yield nothing. Every object it hands
// out is counted, and every call is written to the journal.
struct FakeScenario
{
    // Values of the first sheet by (row, column); the used range's counts.
    QMap<QPair<int, int>, QVariant> cells;
    int rowCount = 1;
    int columnCount = 1;

    QSet<QString> nullMembers;   // sub-objects that come back null
    QSet<QString> raisingMembers; // members and properties that raise
    QString raisedMessage = QStringLiteral("模拟错误");
    // What a SaveAs that completes leaves on disk: a real workbook, nothing,
    // an empty file, or the first bytes of a workbook only.
    enum class SaveEffect { WritesFile, WritesNothing, WritesEmptyFile, WritesTruncatedFile } saveEffect =
        SaveEffect::WritesFile;

    QStringList journal;
    int liveObjects = 0;
    int createdObjects = 0;
};

Automation::ObjectPtr makeFakeApplication(const std::shared_ptr<FakeScenario> &scenario, bool isNull = false);

// A COM library that counts its calls.
class FakeComSystem final : public Automation::ComSystem
{
public:
    bool hasCom() const override { return com; }
    Automation::ComStatus initialize() override
    {
        ++initializations;
        return status;
    }
    void uninitialize() override { ++uninitializations; }
    QString systemMessage(Automation::ComStatus) const override { return message; }
    Automation::ObjectPtr create(const QString &) override { return nullptr; }

    bool com = true;
    Automation::ComStatus status = 0;
    QString message;
    int initializations = 0;
    int uninitializations = 0;
};
