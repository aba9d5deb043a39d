#include "core/storage/historybook.h"

#include <QDir>

namespace {

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

HistoryBook::HistoryBook(const QString &configPath, Report report)
    : m_path(ArrangementHistory::historyFilePath(configPath)), m_report(std::move(report))
{
    ArrangementHistory::Loaded loaded = ArrangementHistory::load(m_path);
    m_records = std::move(loaded.records);
    m_writable = loaded.writable;
    if (!loaded.setAsidePath.isEmpty()) {
        m_report(QStringLiteral("历史记录文件 %1 无法读取（%2），已另存为 %3，重新开始记录")
                     .arg(shown(m_path), loaded.problem, shown(loaded.setAsidePath)));
    } else if (!loaded.writable) {
        m_report(QStringLiteral("历史记录文件 %1 无法读取（%2），也无法移开，分组不会记入历史")
                     .arg(shown(m_path), loaded.problem));
    }
}

const ArrangementRecord *HistoryBook::lastTime(int preferredRecord) const
{
    const ArrangementRecord *preferred = find(preferredRecord);
    return preferred ? preferred : ArrangementHistory::mostRecent(m_records);
}

int HistoryBook::add(const ArrangementRecord &record)
{
    if (!m_writable)
        return 0;
    const int id = ArrangementHistory::append(m_records, record);
    save();
    return id;
}

void HistoryBook::markRestored(int id, const QDateTime &time)
{
    ArrangementRecord *record = ArrangementHistory::find(m_records, id);
    if (!record || !m_writable)
        return;
    record->restored = time;
    record->useOrder = ArrangementHistory::nextUseOrder(m_records);
    save();
}

void HistoryBook::markExported(int id, const QString &path, const QDateTime &time)
{
    ArrangementRecord *record = ArrangementHistory::find(m_records, id);
    if (!record || !m_writable)
        return;
    record->exportedPath = path;
    record->exportedTime = time;
    save();
}

void HistoryBook::save()
{
    const QString problem = ArrangementHistory::save(m_path, m_records);
    if (!problem.isEmpty())
        m_report(QStringLiteral("无法写入历史记录文件 %1: %2").arg(shown(m_path), problem));
}
