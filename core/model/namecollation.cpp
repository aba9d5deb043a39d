#include "core/model/namecollation.h"

#include <QLocale>

#include <algorithm>

QCollator chineseCollator()
{
    return QCollator(QLocale(QLocale::Chinese, QLocale::China));
}

QStringList sortedByPinyin(QStringList names)
{
    const QCollator collator = chineseCollator();
    std::sort(names.begin(), names.end(), [&collator](const QString &a, const QString &b) {
        const int order = collator.compare(a, b);
        return order != 0 ? order < 0 : a < b;
    });
    return names;
}

QStringList sortedByPinyin(const QSet<QString> &names)
{
    return sortedByPinyin(QStringList(names.begin(), names.end()));
}
