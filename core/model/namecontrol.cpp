#include "core/model/namecontrol.h"

#include <algorithm>

QString withoutControlCharacters(const QString &name)
{
    QString clean = name;
    clean.removeIf([](QChar c) { return c.category() == QChar::Other_Control; });
    return clean;
}

int stripControlCharacters(QStringList &names)
{
    int changed = 0;
    for (QString &name : names) {
        const QString clean = withoutControlCharacters(name);
        if (clean != name) {
            name = clean;
            ++changed;
        }
    }
    if (changed > 0)
        names.removeIf([](const QString &name) { return name.isEmpty(); });
    return changed;
}

QString controlCharactersLogLine(int n)
{
    return QStringLiteral("名单中有 %1 个姓名含有制表符等控制字符，已去掉").arg(n);
}
