#include "core/storage/configstore.h"

#include "core/model/namecontrol.h"

#include <QFile>
#include <QSettings>
#include <QStringList>

#include <algorithm>

namespace ConfigStore {

namespace {

QString groupSection(int index)
{
    return QStringLiteral("GroupConfig_%1").arg(index);
}

QList<Constraint> readConstraints(const QSettings &settings, const QString &key)
{
    QList<Constraint> constraints;
    const QStringList entries = settings.value(key).toStringList();
    for (const QString &entry : entries) {
        Constraint constraint = parsePersonList(entry);
        if (!constraint.isEmpty())
            constraints.append(constraint);
    }
    return constraints;
}

QStringList constraintEntries(const QList<Constraint> &constraints)
{
    QStringList entries;
    for (const Constraint &constraint : constraints)
        entries.append(constraintEntry(constraint));
    return entries;
}

// Judged by whether the file was written: QSettings also reports a byte-order
// mark or an unparsable line it met while re-reading (FormatError), although
// the write went through.
bool flush(QSettings &settings)
{
    settings.sync();
    if (settings.status() == QSettings::AccessError)
        return false;
    QFile written(settings.fileName());
    return written.open(QIODevice::ReadOnly);
}

void putGroupRecords(QSettings &settings, const ClassModel &model)
{
    for (int i = 0; i < model.groupConfigs.size(); ++i) {
        const GroupConfig &config = model.groupConfigs.at(i);
        settings.beginGroup(groupSection(i));
        settings.setValue(QStringLiteral("enabled"), config.enabled);
        settings.setValue(QStringLiteral("total"), config.total);
        settings.setValue(QStringLiteral("males"), config.males);
        settings.setValue(QStringLiteral("females"), config.females);
        settings.endGroup();
    }

    QStringList fixedEntries;
    for (auto it = model.fixedPositions.cbegin(); it != model.fixedPositions.cend(); ++it)
        fixedEntries.append(fixedPositionEntry(it.key(), it.value()));
    settings.setValue(QStringLiteral("FixedPositions/List"), fixedEntries);
    settings.setValue(QStringLiteral("Constraints/MustTogether"), constraintEntries(model.mustTogether));
    settings.setValue(QStringLiteral("Constraints/MustSeparate"), constraintEntries(model.mustSeparate));
    // Off is the default; leaving the key out then keeps the file as it always was.
    if (model.avoidLastGroupmates)
        settings.setValue(kAvoidLastGroupmatesKey, true);
    else
        settings.remove(kAvoidLastGroupmatesKey);
}

} // namespace

QList<PersonId> parsePersonList(const QString &entry)
{
    QList<PersonId> ids;
    // An unconvertible or empty piece gives 0, keeping its place in the list.
    for (const QString &piece : entry.split(u',', Qt::KeepEmptyParts))
        ids.append(piece.toInt());
    return ids;
}

QString fixedPositionEntry(PersonId id, const FixedPosition &position)
{
    return QStringLiteral("%1,%2,%3").arg(id).arg(position.group).arg(position.seat);
}

QString constraintEntry(const Constraint &constraint)
{
    QStringList pieces;
    for (PersonId id : constraint)
        pieces.append(QString::number(id));
    return pieces.join(u',');
}

int readRoster(const QString &path, ClassModel &model, QString &style)
{
    const QSettings settings(path, QSettings::IniFormat);
    model.maleNames = settings.value(QStringLiteral("Male/Names")).toStringList();
    model.femaleNames = settings.value(QStringLiteral("Female/Names")).toStringList();
    QStringList leaders = settings.value(QStringLiteral("Leaders/Names")).toStringList();
    QStringList boarders = settings.value(QStringLiteral("Boarders/Names")).toStringList();
    int cleaned = 0;
    for (QStringList *names : {&model.maleNames, &model.femaleNames, &leaders, &boarders})
        cleaned += stripControlCharacters(*names);
    model.leaderNames = QSet<QString>(leaders.begin(), leaders.end());
    model.boarderNames = QSet<QString>(boarders.begin(), boarders.end());
    // An empty name marks nobody; the settings dialog drops empty lines too.
    model.leaderNames.remove(QString());
    model.boarderNames.remove(QString());
    style = settings.value(QStringLiteral("Style/Current"), kDefaultStyle).toString();
    model.rebuildNameMaps();
    return cleaned;
}

void readGroupRecords(const QString &path, ClassModel &model)
{
    QSettings settings(path, QSettings::IniFormat);
    model.groupConfigs.resize(kGroupCount);
    for (int i = 0; i < kGroupCount; ++i) {
        const GroupConfig fallback = defaultGroupConfig(i);
        settings.beginGroup(groupSection(i));
        GroupConfig &config = model.groupConfigs[i];
        config.enabled = settings.value(QStringLiteral("enabled"), fallback.enabled).toBool();
        config.total = std::clamp(settings.value(QStringLiteral("total"), fallback.total).toInt(),
                                  0, kMaxGroupTotal);
        config.males = std::clamp(settings.value(QStringLiteral("males"), fallback.males).toInt(),
                                  0, kMaxGroupTotal);
        config.females = std::clamp(settings.value(QStringLiteral("females"), fallback.females).toInt(),
                                    0, kMaxGroupTotal);
        settings.endGroup();
    }

    model.fixedPositions.clear();
    const QStringList fixedEntries = settings.value(QStringLiteral("FixedPositions/List")).toStringList();
    for (const QString &entry : fixedEntries) {
        const QList<PersonId> pieces = parsePersonList(entry);
        if (pieces.size() == 3)
            model.fixedPositions.insert(pieces.at(0), FixedPosition{pieces.at(1), pieces.at(2)});
    }

    model.mustTogether = readConstraints(settings, QStringLiteral("Constraints/MustTogether"));
    model.mustSeparate = readConstraints(settings, QStringLiteral("Constraints/MustSeparate"));
    model.avoidLastGroupmates = settings.value(kAvoidLastGroupmatesKey, false).toBool();

    bool isNumber = false;
    const int tries = settings.value(kGenerationTriesKey).toInt(&isNumber);
    model.generationTries =
        isNumber ? std::clamp(tries, kMinGenerationTries, kMaxGenerationTries) : kDefaultGenerationTries;
    const QString useSolver = settings.value(kUseSolverKey).toString().trimmed().toLower();
    model.useSolver = !(useSolver == QLatin1String("false") || useSolver == QLatin1String("0"));
}

bool writeGroupRecords(const QString &path, const ClassModel &model)
{
    QSettings settings(path, QSettings::IniFormat);
    putGroupRecords(settings, model);
    return flush(settings);
}

bool writeSettings(const QString &path, const ClassModel &model, const QString &style, const QString &customPath)
{
    QSettings settings(path, QSettings::IniFormat);
    settings.setValue(QStringLiteral("Male/Names"), model.maleNames);
    settings.setValue(QStringLiteral("Female/Names"), model.femaleNames);
    settings.setValue(QStringLiteral("Leaders/Names"), sortedNames(model.leaderNames));
    settings.setValue(QStringLiteral("Boarders/Names"), sortedNames(model.boarderNames));
    settings.setValue(QStringLiteral("Style/Current"), style);
    if (style == kCustomStyle)
        settings.setValue(QStringLiteral("Style/CustomPath"), customPath);
    settings.setValue(kGenerationTriesKey, model.generationTries);
    settings.setValue(kUseSolverKey, model.useSolver);
    putGroupRecords(settings, model);
    return flush(settings);
}

QString readCustomTemplatePath(const QString &path)
{
    const QSettings settings(path, QSettings::IniFormat);
    return settings.value(QStringLiteral("Style/CustomPath"), QString()).toString();
}

QDate readLastUpdateCheck(const QString &path)
{
    const QSettings settings(path, QSettings::IniFormat);
    return settings.value(QStringLiteral("Update/LastCheck")).toDate();
}

void writeLastUpdateCheck(const QString &path, const QDate &date)
{
    QSettings settings(path, QSettings::IniFormat);
    settings.setValue(QStringLiteral("Update/LastCheck"), date);
    settings.sync();
}

bool isUpdateCheckDue(const QDate &lastCheck, const QDate &today)
{
    return !lastCheck.isValid() || lastCheck.daysTo(today) >= 7;
}

} // namespace ConfigStore
