// config.ini text -> encoding check and load -> settings check -> generation
// -> requirement check and personnel report: what a hand-edited file reaches
// at start-up and at "生成分组".
#include "fuzzscratch.h"

#include "core/storage/configencoding.h"
#include "core/storage/configstore.h"
#include "core/engine/engine.h"
#include "core/rules/constraintcheck.h"
#include "core/rules/personnelreport.h"
#include "core/rules/settingscheck.h"

#include <QDir>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // QSettings keeps parsed files per path for the whole process, so every
    // input gets a name of its own.
    static quint64 inputs = 0;
    const QString name = QStringLiteral("config-%1.ini").arg(++inputs);
    const QString path = writeInput(name, data, size);

    ConfigEncoding::ensureUtf8(path);
    ClassModel model;
    QString style;
    ConfigStore::readRoster(path, model, style);
    ConfigStore::readGroupRecords(path, model);

    checkSettings(model);
    summarizeSettings(model);
    quint32 seed = 20251008;
    const LogSink log = [](const QString &line) { (void)line.size(); };
    model.generatedGroups = Engine::buildGroups(model, log, [&seed] { return seed++; });
    checkConstraintsAgainst(model, model.generatedGroups);
    buildPersonnelReport(model);

    // The file and any encoding backup of it.
    QDir scratch(fuzzScratch().path());
    for (const QString &file : scratch.entryList({name + QStringLiteral("*")}, QDir::Files))
        scratch.remove(file);
    return 0;
}
