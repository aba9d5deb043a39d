#include "core/storage/compacthistory.h"

#include <QSet>
#include <QStringDecoder>

#include <climits>
#include <cstring>

namespace {

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Walks the text, expecting exactly what the writer puts there. The first
// surprise clears `ok`, and everything read after it is ignored.
class Cursor
{
public:
    explicit Cursor(QByteArrayView text) : m_at(text.data()), m_end(text.data() + text.size()) {}

    bool ok = true;

    bool atEnd() const { return m_at == m_end; }
    const char *at() const { return m_at; }

    void expect(const char *literal)
    {
        if (!skip(literal))
            ok = false;
    }

    // Steps over `literal` when it comes next.
    bool skip(const char *literal)
    {
        const size_t length = std::strlen(literal);
        if (!ok || size_t(m_end - m_at) < length || std::memcmp(m_at, literal, length) != 0)
            return false;
        m_at += length;
        return true;
    }

    // A whole number written in plain digits, in [low, high].
    qint64 number(qint64 low, qint64 high)
    {
        const char *start = m_at;
        qint64 value = 0;
        while (ok && m_at < m_end && *m_at >= '0' && *m_at <= '9' && m_at - start < 11)
            value = value * 10 + (*m_at++ - '0');
        const qsizetype digits = m_at - start;
        // Leading zeros are not JSON; eleven digits exceed every range.
        if (digits == 0 || digits > 10 || (digits > 1 && *start == '0') || value < low || value > high)
            ok = false;
        return ok ? value : 0;
    }

    int integer(int low) { return int(number(low, INT_MAX)); }

    bool boolean()
    {
        if (skip("true"))
            return true;
        expect("false");
        return false;
    }

    QString string()
    {
        QString text;
        expect("\"");
        const char *run = m_at; // bytes not yet decoded
        while (ok && m_at < m_end && *m_at != '"') {
            const uchar c = uchar(*m_at);
            if (c < 0x20) {
                ok = false;
            } else if (c == '\\') {
                text.append(decoded(run, m_at));
                ++m_at;
                text.append(escaped());
                run = m_at;
            } else {
                ++m_at;
            }
        }
        text.append(decoded(run, m_at));
        expect("\"");
        return text;
    }

    QDateTime time()
    {
        const QDateTime value = QDateTime::fromString(string(), Qt::ISODate);
        if (!value.isValid())
            ok = false;
        return value;
    }

private:
    QString decoded(const char *from, const char *to)
    {
        if (from == to || !ok)
            return QString();
        QString text = m_utf8.decode(QByteArrayView(from, to - from));
        if (m_utf8.hasError())
            ok = false;
        return text;
    }

    // The character of the escape after a backslash.
    QChar escaped()
    {
        if (m_at == m_end) {
            ok = false;
            return {};
        }
        switch (*m_at++) {
        case '"': return u'"';
        case '\\': return u'\\';
        case '/': return u'/';
        case 'b': return u'\b';
        case 'f': return u'\f';
        case 'n': return u'\n';
        case 'r': return u'\r';
        case 't': return u'\t';
        case 'u': break;
        default: ok = false; return {};
        }
        char16_t unit = 0;
        for (int i = 0; i < 4; ++i) {
            const int digit = m_at < m_end ? hexDigit(*m_at++) : -1;
            if (digit < 0) {
                ok = false;
                return {};
            }
            unit = char16_t(unit * 16 + digit);
        }
        return QChar(unit);
    }

    const char *m_at;
    const char *m_end;
    QStringDecoder m_utf8{QStringConverter::Utf8, QStringConverter::Flag::Stateless};
};

// The items of an array whose "[" was read, up to its "]".
template <typename ReadItem>
void items(Cursor &in, ReadItem readItem)
{
    if (in.skip("]"))
        return;
    do
        readItem();
    while (in.ok && in.skip(","));
    in.expect("]");
}

RecordedMember member(Cursor &in)
{
    RecordedMember member;
    in.expect("{\"boarder\":");
    member.boarder = in.boolean();
    if (in.skip(",\"gender\":\"M\""))
        member.boy = true;
    else
        in.expect(",\"gender\":\"F\"");
    in.expect(",\"leader\":");
    member.leader = in.boolean();
    in.expect(",\"name\":");
    member.name = in.string();
    in.expect("}");
    return member;
}

RecordedGroup group(Cursor &in)
{
    RecordedGroup group;
    in.expect("{\"members\":[");
    items(in, [&] { group.members.append(member(in)); });
    in.expect(",\"number\":");
    group.number = in.integer(1);
    in.expect("}");
    return group;
}

ArrangementRecord record(Cursor &in)
{
    ArrangementRecord record;
    in.expect("{");
    if (in.skip("\"avoided\":")) {
        record.avoidedRecord = in.integer(1);
        in.expect(",");
    }
    if (in.skip("\"exported\":{\"path\":")) {
        record.exportedPath = in.string();
        in.expect(",\"time\":");
        record.exportedTime = in.time();
        in.expect("},");
    }
    in.expect("\"groups\":[");
    items(in, [&] { record.groups.append(group(in)); });
    in.expect(",\"id\":");
    record.id = in.integer(1);
    if (in.skip(",\"restored\":"))
        record.restored = in.time();
    in.expect(",\"seed\":");
    record.seed = quint32(in.number(0, 4294967295LL));
    if (in.skip(",\"solver\":{\"moved\":")) {
        record.solverMoved = in.integer(0);
        in.expect(",\"outcome\":");
        record.solverOutcome = in.string();
        in.expect("}");
    }
    in.expect(",\"time\":");
    record.time = in.time();
    in.expect(",\"unmet\":");
    record.unmetRequirements = in.integer(0);
    in.expect(",\"used\":");
    record.useOrder = in.integer(1);
    in.expect("}");
    return record;
}

} // namespace

bool readCompactHistory(QByteArrayView text, QList<ArrangementRecord> &records, QList<QByteArrayView> *spans)
{
    records.clear();
    if (spans)
        spans->clear();
    Cursor in(text);
    QSet<int> ids;
    in.expect("{\"arrangements\":[");
    items(in, [&] {
        const char *start = in.at();
        records.append(record(in));
        if (spans)
            spans->append(QByteArrayView(start, in.at() - start));
        if (ids.contains(records.constLast().id))
            in.ok = false; // the JSON reader names the fault
        ids.insert(records.constLast().id);
    });
    in.expect(",\"version\":");
    in.number(ArrangementHistory::kVersion, ArrangementHistory::kVersion);
    in.expect("}");
    return in.ok && in.atEnd();
}
