#include "config/arrangementhistory.h"

#include "config/clock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QSet>

#include <algorithm>
#include <cmath>

bool operator==(const ArrangementRecord &a, const ArrangementRecord &b)
{
    return a.id == b.id && a.time == b.time && a.seed == b.seed && a.useOrder == b.useOrder && a.groups == b.groups
           && a.unmetRequirements == b.unmetRequirements && a.restored == b.restored
           && a.exportedPath == b.exportedPath && a.exportedTime == b.exportedTime
           && a.avoidedRecord == b.avoidedRecord && a.solverOutcome == b.solverOutcome
           && a.solverMoved == b.solverMoved;
}

namespace ArrangementHistory {
namespace {

// Far beyond 100 arrangements of a large class; anything bigger is not ours.
constexpr qint64 kMaxFileSize = 64 * 1024 * 1024;

QString timeText(const QDateTime &time)
{
    return time.toString(Qt::ISODate);
}

// Reading stops at the first fault; `fault` names it for the log.
class Reader
{
public:
    QString fault;

    bool failed() const { return !fault.isEmpty(); }

    QJsonValue field(const QJsonObject &object, const char *key, QJsonValue::Type type)
    {
        const QJsonValue value = object.value(QLatin1String(key));
        if (value.type() != type && !failed())
            fault = QStringLiteral("字段 %1 缺失或类型不对").arg(QLatin1String(key));
        return value;
    }

    // A whole number in [low, high]; 0 after a fault.
    qint64 number(const QJsonObject &object, const char *key, double low, double high)
    {
        const double value = field(object, key, QJsonValue::Double).toDouble();
        if (failed())
            return 0;
        if (value != std::floor(value) || value < low || value > high) {
            fault = QStringLiteral("字段 %1 的值超出范围").arg(QLatin1String(key));
            return 0;
        }
        return qint64(value);
    }

    int integer(const QJsonObject &object, const char *key, double low, double high)
    {
        return int(number(object, key, low, std::min(high, 2147483647.0)));
    }

    QDateTime time(const QJsonObject &object, const char *key)
    {
        const QDateTime value = QDateTime::fromString(field(object, key, QJsonValue::String).toString(), Qt::ISODate);
        if (!value.isValid() && !failed())
            fault = QStringLiteral("字段 %1 不是有效时间").arg(QLatin1String(key));
        return value;
    }

    RecordedMember member(const QJsonObject &object)
    {
        RecordedMember member;
        member.name = field(object, "name", QJsonValue::String).toString();
        const QString gender = field(object, "gender", QJsonValue::String).toString();
        if (!failed() && gender != u"M" && gender != u"F")
            fault = QStringLiteral("字段 gender 的值超出范围");
        member.boy = gender == u"M";
        member.leader = field(object, "leader", QJsonValue::Bool).toBool();
        member.boarder = field(object, "boarder", QJsonValue::Bool).toBool();
        return member;
    }

    ArrangementRecord record(const QJsonObject &object)
    {
        ArrangementRecord record;
        record.id = integer(object, "id", 1, 2147483647.0);
        record.time = time(object, "time");
        // The seed is a 32-bit value; JSON numbers hold it exactly.
        record.seed = quint32(number(object, "seed", 0, 4294967295.0));
        record.useOrder = integer(object, "used", 1, 2147483647.0);
        record.unmetRequirements = integer(object, "unmet", 0, 2147483647.0);
        for (const QJsonValue &groupValue : field(object, "groups", QJsonValue::Array).toArray()) {
            if (failed())
                break;
            const QJsonObject groupObject = groupValue.toObject();
            RecordedGroup group;
            group.number = integer(groupObject, "number", 1, 2147483647.0);
            for (const QJsonValue &memberValue : field(groupObject, "members", QJsonValue::Array).toArray())
                group.members.append(member(memberValue.toObject()));
            record.groups.append(group);
        }
        if (object.contains(QLatin1String("restored")))
            record.restored = time(object, "restored");
        if (object.contains(QLatin1String("exported"))) {
            const QJsonObject exported = field(object, "exported", QJsonValue::Object).toObject();
            record.exportedPath = field(exported, "path", QJsonValue::String).toString();
            record.exportedTime = time(exported, "time");
        }
        if (object.contains(QLatin1String("avoided")))
            record.avoidedRecord = integer(object, "avoided", 1, 2147483647.0);
        if (object.contains(QLatin1String("solver"))) {
            const QJsonObject solver = field(object, "solver", QJsonValue::Object).toObject();
            record.solverOutcome = field(solver, "outcome", QJsonValue::String).toString();
            record.solverMoved = integer(solver, "moved", 0, 2147483647.0);
        }
        return record;
    }
};

QJsonObject recordObject(const ArrangementRecord &record)
{
    QJsonArray groups;
    for (const RecordedGroup &group : record.groups) {
        QJsonArray members;
        for (const RecordedMember &member : group.members) {
            members.append(QJsonObject{{QStringLiteral("name"), member.name},
                                       {QStringLiteral("gender"), member.boy ? QStringLiteral("M") : QStringLiteral("F")},
                                       {QStringLiteral("leader"), member.leader},
                                       {QStringLiteral("boarder"), member.boarder}});
        }
        groups.append(QJsonObject{{QStringLiteral("number"), group.number}, {QStringLiteral("members"), members}});
    }
    QJsonObject object{{QStringLiteral("id"), record.id},
                       {QStringLiteral("time"), timeText(record.time)},
                       {QStringLiteral("seed"), double(record.seed)},
                       {QStringLiteral("used"), record.useOrder},
                       {QStringLiteral("unmet"), record.unmetRequirements},
                       {QStringLiteral("groups"), groups}};
    if (record.restored.isValid())
        object.insert(QStringLiteral("restored"), timeText(record.restored));
    if (!record.exportedPath.isEmpty()) {
        object.insert(QStringLiteral("exported"), QJsonObject{{QStringLiteral("path"), record.exportedPath},
                                                              {QStringLiteral("time"), timeText(record.exportedTime)}});
    }
    if (record.avoidedRecord > 0)
        object.insert(QStringLiteral("avoided"), record.avoidedRecord);
    if (!record.solverOutcome.isEmpty()) {
        object.insert(QStringLiteral("solver"), QJsonObject{{QStringLiteral("outcome"), record.solverOutcome},
                                                            {QStringLiteral("moved"), record.solverMoved}});
    }
    return object;
}

// The first free "history.json.bad-<stamp>" name, "-2", "-3"... when taken.
QString setAsideName(const QString &path)
{
    const QString base = path + QStringLiteral(".bad-") + currentDateTime().toString(QStringLiteral("yyyyMMdd_hhmmss"));
    QString name = base;
    for (int n = 2; QFileInfo::exists(name); ++n)
        name = base + QStringLiteral("-%1").arg(n);
    return name;
}

} // namespace

QString historyFilePath(const QString &configPath)
{
    return QFileInfo(configPath).absoluteDir().filePath(QStringLiteral("history.json"));
}

QByteArray toJson(const QList<ArrangementRecord> &records)
{
    QJsonArray list;
    for (const ArrangementRecord &record : records)
        list.append(recordObject(record));
    const QJsonObject root{{QStringLiteral("version"), kVersion}, {QStringLiteral("arrangements"), list}};
    // Compact: a record of a full class is a few kilobytes, and the whole
    // history is rewritten on every generation.
    return QJsonDocument(root).toJson(QJsonDocument::Compact);
}

bool fromJson(const QByteArray &json, QList<ArrangementRecord> &records, QString &problem)
{
    records.clear();
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        problem = error.error != QJsonParseError::NoError ? QStringLiteral("不是有效的 JSON (%1)").arg(error.errorString())
                                                          : QStringLiteral("不是有效的历史记录");
        return false;
    }
    const QJsonObject root = document.object();
    if (root.value(QLatin1String("version")).toInt(-1) != kVersion) {
        problem = QStringLiteral("版本不受支持");
        return false;
    }
    Reader reader;
    QSet<int> ids;
    for (const QJsonValue &value : reader.field(root, "arrangements", QJsonValue::Array).toArray()) {
        if (!value.isObject()) {
            reader.fault = QStringLiteral("记录不是对象");
            break;
        }
        const ArrangementRecord record = reader.record(value.toObject());
        if (reader.failed())
            break;
        if (ids.contains(record.id)) {
            reader.fault = QStringLiteral("记录编号重复");
            break;
        }
        ids.insert(record.id);
        records.append(record);
    }
    if (reader.failed()) {
        records.clear();
        problem = reader.fault;
        return false;
    }
    return true;
}

Loaded load(const QString &path)
{
    Loaded loaded;
    QFile file(path);
    if (!file.exists())
        return loaded;
    QString problem;
    if (file.size() > kMaxFileSize)
        problem = QStringLiteral("文件过大");
    else if (!file.open(QIODevice::ReadOnly))
        problem = file.errorString();
    else if (fromJson(file.readAll(), loaded.records, problem))
        return loaded;
    file.close();

    loaded.problem = problem;
    const QString aside = setAsideName(path);
    if (QFile::rename(path, aside))
        loaded.setAsidePath = aside;
    else
        loaded.writable = false;
    return loaded;
}

QString save(const QString &path, QList<ArrangementRecord> records)
{
    if (records.size() > kMaxRecords)
        records.erase(records.begin(), records.end() - kMaxRecords);
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        return QStringLiteral("无法创建文件夹 %1").arg(QDir::toNativeSeparators(folder));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    const QByteArray json = toJson(records);
    if (file.write(json) != json.size() || !file.commit())
        return file.errorString();
    return QString();
}

int append(QList<ArrangementRecord> &records, ArrangementRecord record)
{
    int lastId = 0;
    for (const ArrangementRecord &existing : std::as_const(records))
        lastId = std::max(lastId, existing.id);
    record.id = lastId + 1;
    record.useOrder = nextUseOrder(records);
    records.append(record);
    if (records.size() > kMaxRecords)
        records.erase(records.begin(), records.end() - kMaxRecords);
    return record.id;
}

int nextUseOrder(const QList<ArrangementRecord> &records)
{
    int last = 0;
    for (const ArrangementRecord &record : records)
        last = std::max(last, record.useOrder);
    return last + 1;
}

ArrangementRecord *find(QList<ArrangementRecord> &records, int id)
{
    for (ArrangementRecord &record : records) {
        if (record.id == id)
            return &record;
    }
    return nullptr;
}

const ArrangementRecord *find(const QList<ArrangementRecord> &records, int id)
{
    for (const ArrangementRecord &record : records) {
        if (record.id == id)
            return &record;
    }
    return nullptr;
}

const ArrangementRecord *mostRecent(const QList<ArrangementRecord> &records)
{
    const ArrangementRecord *latest = nullptr;
    for (const ArrangementRecord &record : records) {
        if (!latest || record.useOrder > latest->useOrder)
            latest = &record;
    }
    return latest;
}

} // namespace ArrangementHistory
