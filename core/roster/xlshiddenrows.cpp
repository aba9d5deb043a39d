#include "core/roster/xlshiddenrows.h"

#include <QFile>

namespace {

constexpr quint32 kEndOfChain = 0xFFFFFFFE;
constexpr quint32 kLastRegularSector = 0xFFFFFFFA;

// Little-endian reads that say whether the bytes were there.
class Bytes
{
public:
    explicit Bytes(const QByteArray &data)
        : m_data(data)
    {
    }

    bool has(qint64 offset, qint64 size) const { return offset >= 0 && size >= 0 && offset + size <= m_data.size(); }
    quint8 u8(qint64 offset) const { return has(offset, 1) ? quint8(m_data.at(offset)) : 0; }
    quint16 u16(qint64 offset) const { return has(offset, 2) ? quint16(u8(offset) | u8(offset + 1) << 8) : 0; }
    quint32 u32(qint64 offset) const { return has(offset, 4) ? quint32(u16(offset)) | quint32(u16(offset + 2)) << 16 : 0; }
    QByteArray mid(qint64 offset, qint64 size) const { return has(offset, size) ? m_data.mid(offset, size) : QByteArray(); }
    qint64 size() const { return m_data.size(); }

private:
    const QByteArray &m_data;
};

// The compound file (the container of Office 97-2003 files): sectors chained
// through the allocation table, and the directory that names the streams.
class CompoundFile
{
public:
    explicit CompoundFile(const QByteArray &data)
        : m_bytes(data)
    {
        const quint16 shift = m_bytes.u16(0x1E);
        if (m_bytes.size() < 512 || (shift != 9 && shift != 12))
            return;
        m_sectorSize = 1 << shift;
        m_miniSectorSize = 1 << qBound<quint16>(1, m_bytes.u16(0x20), 12);
        m_miniCutoff = m_bytes.u32(0x38);
        readAllocationTable();
        m_directory = readChain(m_bytes.u32(0x30), m_fat, false);
        if (m_directory.size() >= 128) {
            const Bytes root(m_directory);
            m_miniStream = readChain(root.u32(0x74), m_fat, false);
            const QByteArray miniFat = readChain(m_bytes.u32(0x3C), m_fat, false);
            const Bytes miniTable(miniFat);
            for (qint64 i = 0; miniTable.has(i, 4); i += 4)
                m_miniFat.append(miniTable.u32(i));
        }
    }

    // The stream's bytes; empty when there is no stream of that name.
    QByteArray stream(const QString &name) const
    {
        const Bytes entries(m_directory);
        for (qint64 entry = 0; entries.has(entry, 128); entry += 128) {
            const int length = qMin<int>(entries.u16(entry + 0x40), 64);
            if (entries.u8(entry + 0x42) != 2 || length < 2)
                continue;
            const QByteArray raw = entries.mid(entry, length - 2);
            const QString entryName = QString::fromUtf16(reinterpret_cast<const char16_t *>(raw.constData()), raw.size() / 2);
            if (entryName.compare(name, Qt::CaseInsensitive) != 0)
                continue;
            const quint32 start = entries.u32(entry + 0x74);
            const quint32 size = entries.u32(entry + 0x78);
            const bool mini = size < m_miniCutoff;
            const QByteArray data = mini ? readChain(start, m_miniFat, true) : readChain(start, m_fat, false);
            return data.left(size);
        }
        return QByteArray();
    }

private:
    void readAllocationTable()
    {
        QList<quint32> fatSectors;
        const quint32 count = m_bytes.u32(0x2C);
        for (int i = 0; i < 109 && quint32(fatSectors.size()) < count; ++i)
            fatSectors.append(m_bytes.u32(0x4C + 4 * i));
        // Further entries of the table's list stand in sectors of their own.
        quint32 next = m_bytes.u32(0x44);
        for (quint32 steps = m_bytes.u32(0x48); next <= kLastRegularSector && steps > 0; --steps) {
            const qint64 offset = sectorOffset(next);
            const int perSector = m_sectorSize / 4 - 1;
            for (int i = 0; i < perSector && quint32(fatSectors.size()) < count; ++i)
                fatSectors.append(m_bytes.u32(offset + 4 * i));
            next = m_bytes.u32(offset + 4 * perSector);
        }
        for (const quint32 sector : fatSectors) {
            const qint64 offset = sectorOffset(sector);
            if (!m_bytes.has(offset, m_sectorSize))
                return;
            for (int i = 0; i < m_sectorSize; i += 4)
                m_fat.append(m_bytes.u32(offset + i));
        }
    }

    qint64 sectorOffset(quint32 sector) const { return (qint64(sector) + 1) * m_sectorSize; }

    // A chain ends at its end mark, at a sector outside the file, or when it
    // has visited more sectors than there are (a loop in a crafted file).
    QByteArray readChain(quint32 start, const QList<quint32> &table, bool mini) const
    {
        QByteArray data;
        const int size = mini ? m_miniSectorSize : m_sectorSize;
        const Bytes container(m_miniStream);
        for (quint32 sector = start, steps = 0; sector <= kLastRegularSector && sector < quint32(table.size())
             && steps <= quint32(table.size());
             sector = table.at(sector), ++steps) {
            const QByteArray part = mini ? container.mid(qint64(sector) * size, size) : m_bytes.mid(sectorOffset(sector), size);
            if (part.isEmpty())
                break;
            data += part;
        }
        return data;
    }

    Bytes m_bytes;
    int m_sectorSize = 512;
    int m_miniSectorSize = 64;
    quint32 m_miniCutoff = 4096;
    QList<quint32> m_fat;
    QList<quint32> m_miniFat;
    QByteArray m_directory;
    QByteArray m_miniStream;
};

constexpr quint16 kBoundSheet = 0x0085;
constexpr quint16 kRow = 0x0208;
constexpr quint16 kEof = 0x000A;
constexpr quint16 kRowHidden = 0x0020;

// Where each sheet's records start, in the workbook's order.
QList<quint32> sheetOffsets(const Bytes &workbook)
{
    QList<quint32> offsets;
    for (qint64 at = 0; workbook.has(at, 4);) {
        const quint16 type = workbook.u16(at);
        const quint16 length = workbook.u16(at + 2);
        if (type == kBoundSheet)
            offsets.append(workbook.u32(at + 4));
        if (type == kEof)
            break;
        at += 4 + length;
    }
    return offsets;
}

} // namespace

QSet<int> hiddenXlsRows(const QString &path, int sheetIndex)
{
    QSet<int> hidden;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return hidden;
    const QByteArray data = file.readAll();
    const CompoundFile compound(data);
    QByteArray stream = compound.stream(QStringLiteral("Workbook"));
    if (stream.isEmpty())
        stream = compound.stream(QStringLiteral("Book"));
    const Bytes workbook(stream);
    const QList<quint32> offsets = sheetOffsets(workbook);
    if (sheetIndex < 0 || sheetIndex >= offsets.size())
        return hidden;
    // The sheet's own records run from its start to its end-of-file record.
    for (qint64 at = offsets.at(sheetIndex); workbook.has(at, 4);) {
        const quint16 type = workbook.u16(at);
        const quint16 length = workbook.u16(at + 2);
        if (type == kRow && length >= 16 && (workbook.u16(at + 4 + 12) & kRowHidden))
            hidden.insert(workbook.u16(at + 4) + 1);
        if (type == kEof)
            break;
        at += 4 + length;
    }
    return hidden;
}
