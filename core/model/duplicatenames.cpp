#include "core/model/duplicatenames.h"

#include <QHash>

QList<DuplicateName> duplicateNames(const QStringList &names)
{
    QHash<QString, int> counts;
    for (const QString &name : names)
        ++counts[name];
    QList<DuplicateName> duplicates;
    for (const QString &name : names) {
        int &count = counts[name];
        if (count > 1)
            duplicates.append({name, count});
        count = 0; // listed once, at its first occurrence
    }
    return duplicates;
}

QString duplicateNamesWarning(const QStringList &names)
{
    const QList<DuplicateName> duplicates = duplicateNames(names);
    if (duplicates.isEmpty())
        return QString();
    QStringList counted;
    for (const DuplicateName &duplicate : duplicates)
        counted.append(QStringLiteral("%1 ×%2").arg(duplicate.name).arg(duplicate.count));
    const QString example = duplicates.first().name;
    return QStringLiteral("名单中有重名: %1。重名的学生在要求和固定位置中无法区分，请改为可区分的名字，如 %2A、%2B。")
        .arg(counted.join(QStringLiteral("、")), example);
}
