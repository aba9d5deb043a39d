#include "core/storage/arrangementhistory.h"

#include "core/platform/clock.h"
#include "core/storage/compacthistory.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMutex>
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

// The compact JSON text of the history, written directly: building it as
// QJsonObjects first cost some 25 times more, and a full history is
// rewritten on every generation. Keys in the order QJsonDocument writes them.
class JsonText
{
public:
    QByteArray text;

    JsonText &raw(const char *bytes)
    {
        text.append(bytes);
        return *this;
    }

    JsonText &key(const char *name)
    {
        text.append(',').append('"').append(name).append("\":");
        return *this;
    }

    // The first key of an object: no comma before it.
    JsonText &firstKey(const char *name)
    {
        text.append('"').append(name).append("\":");
        return *this;
    }

    JsonText &number(qint64 value)
    {
        text.append(QByteArray::number(value));
        return *this;
    }

    JsonText &boolean(bool value)
    {
        text.append(value ? "true" : "false");
        return *this;
    }

    // Escapes what JSON requires and, as Qt does, a lone surrogate, which
    // UTF-8 cannot carry.
    JsonText &string(QStringView value)
    {
        text.append('"');
        qsizetype plain = 0; // start of the run not yet copied
        const auto escape = [&](qsizetype i, const char *replacement) {
            text.append(value.sliced(plain, i - plain).toUtf8()).append(replacement);
            plain = i + 1;
        };
        for (qsizetype i = 0; i < value.size(); ++i) {
            const char16_t c = value[i].unicode();
            if (c >= 0x20 && c != u'"' && c != u'\\' && !QChar::isSurrogate(c))
                continue;
            if (QChar::isHighSurrogate(c) && i + 1 < value.size() && value[i + 1].isLowSurrogate()) {
                ++i;
                continue;
            }
            switch (c) {
            case u'"': escape(i, "\\\""); break;
            case u'\\': escape(i, "\\\\"); break;
            case u'\b': escape(i, "\\b"); break;
            case u'\f': escape(i, "\\f"); break;
            case u'\n': escape(i, "\\n"); break;
            case u'\r': escape(i, "\\r"); break;
            case u'\t': escape(i, "\\t"); break;
            default: escape(i, QStringLiteral("\\u%1").arg(int(c), 4, 16, QLatin1Char('0')).toLatin1().constData());
            }
        }
        text.append(value.sliced(plain).toUtf8()).append('"');
        return *this;
    }

    void record(const ArrangementRecord &record)
    {
        text.append('{');
        if (record.avoidedRecord > 0)
            firstKey("avoided").number(record.avoidedRecord).raw(",");
        if (!record.exportedPath.isEmpty()) {
            firstKey("exported").raw("{").firstKey("path").string(record.exportedPath);
            key("time").string(timeText(record.exportedTime)).raw("},");
        }
        firstKey("groups").raw("[");
        for (qsizetype g = 0; g < record.groups.size(); ++g) {
            const RecordedGroup &group = record.groups[g];
            raw(g ? ",{" : "{").firstKey("members").raw("[");
            for (qsizetype m = 0; m < group.members.size(); ++m) {
                const RecordedMember &member = group.members[m];
                raw(m ? ",{\"boarder\":" : "{\"boarder\":").boolean(member.boarder);
                raw(member.boy ? ",\"gender\":\"M\",\"leader\":" : ",\"gender\":\"F\",\"leader\":");
                boolean(member.leader).raw(",\"name\":").string(member.name).raw("}");
            }
            raw("]").key("number").number(group.number).raw("}");
        }
        raw("]").key("id").number(record.id);
        if (record.restored.isValid())
            key("restored").string(timeText(record.restored));
        key("seed").number(record.seed);
        if (!record.solverOutcome.isEmpty()) {
            key("solver").raw("{").firstKey("moved").number(record.solverMoved);
            key("outcome").string(record.solverOutcome).raw("}");
        }
        key("time").string(timeText(record.time));
        key("unmet").number(record.unmetRequirements);
        key("used").number(record.useOrder).raw("}");
    }
};

// What this process last read or wrote at each path: the file's text, its
// records and each record's text. A command of the window reads the history
// afresh, as another process may have changed it; when the bytes are those it
// knows, parsing them again is skipped, and a write serializes only records
// that changed. Parsing a full history costs far more than reading and
// comparing it.
class KnownTexts
{
public:
    struct Known
    {
        QByteArray text;
        QList<ArrangementRecord> records;
        // Each record's text, when the file is in the layout written here.
        QList<QByteArray> recordTexts;
    };

    bool find(const QString &path, const QByteArray &text, QList<ArrangementRecord> &records) const
    {
        const QMutexLocker lock(&m_mutex);
        const auto known = m_texts.constFind(path);
        if (known == m_texts.constEnd() || known->text != text)
            return false;
        records = known->records;
        return true;
    }

    Known known(const QString &path) const
    {
        const QMutexLocker lock(&m_mutex);
        return m_texts.value(path);
    }

    void remember(const QString &path, Known known)
    {
        const QMutexLocker lock(&m_mutex);
        m_texts.insert(path, std::move(known));
    }

    void forget(const QString &path)
    {
        const QMutexLocker lock(&m_mutex);
        m_texts.remove(path);
    }

private:
    mutable QMutex m_mutex;
    QHash<QString, Known> m_texts;
};

KnownTexts &knownTexts()
{
    static KnownTexts texts;
    return texts;
}

// Each record's text, reusing those of `known` for records that equal it.
QList<QByteArray> recordTexts(const QList<ArrangementRecord> &records, const KnownTexts::Known &known)
{
    QHash<int, qsizetype> knownAt;
    for (qsizetype i = 0; i < known.recordTexts.size(); ++i)
        knownAt.insert(known.records[i].id, i);
    QList<QByteArray> texts;
    texts.reserve(records.size());
    for (const ArrangementRecord &record : records) {
        const qsizetype at = knownAt.value(record.id, -1);
        if (at >= 0 && known.records[at] == record) {
            texts.append(known.recordTexts[at]);
        } else {
            JsonText json;
            json.record(record);
            texts.append(json.text);
        }
    }
    return texts;
}

QByteArray historyText(const QList<QByteArray> &recordTexts)
{
    JsonText json;
    json.raw("{").firstKey("arrangements").raw("[");
    json.text.append(recordTexts.join(','));
    json.raw("]").key("version").number(kVersion).raw("}");
    return json.text;
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
    return historyText(recordTexts(records, {}));
}

bool fromJson(const QByteArray &json, QList<ArrangementRecord> &records, QString &problem)
{
    return readCompactHistory(json, records) || fromAnyJson(json, records, problem);
}

bool fromAnyJson(const QByteArray &json, QList<ArrangementRecord> &records, QString &problem)
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
    else {
        const QByteArray text = file.readAll();
        if (knownTexts().find(path, text, loaded.records))
            return loaded;
        // The text of the records as written lets a later write keep them.
        QList<QByteArrayView> spans;
        if (readCompactHistory(text, loaded.records, &spans)) {
            QList<QByteArray> recordTexts;
            recordTexts.reserve(spans.size());
            for (const QByteArrayView span : std::as_const(spans))
                recordTexts.append(span.toByteArray());
            knownTexts().remember(path, {text, loaded.records, std::move(recordTexts)});
            return loaded;
        }
        if (fromAnyJson(text, loaded.records, problem)) {
            knownTexts().remember(path, {text, loaded.records, {}});
            return loaded;
        }
    }
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
    QList<QByteArray> texts = recordTexts(records, knownTexts().known(path));
    const QByteArray json = historyText(texts);
    if (file.write(json) != json.size() || !file.commit()) {
        knownTexts().forget(path);
        return file.errorString();
    }
    knownTexts().remember(path, {json, records, std::move(texts)});
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
