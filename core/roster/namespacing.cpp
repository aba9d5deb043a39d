#include "core/roster/namespacing.h"

namespace {

// Characters a padded Chinese name is made of: Han characters and the middle
// dots of transcribed names (阿依古丽·买买提).
bool isChineseNamePart(QChar c)
{
    return c.script() == QChar::Script_Han || c == u'·' || c == u'・' || c == u'•';
}

} // namespace

QString joinPaddedName(const QString &name)
{
    QString joined;
    joined.reserve(name.size());
    for (qsizetype i = 0; i < name.size();) {
        if (!name.at(i).isSpace()) {
            joined.append(name.at(i++));
            continue;
        }
        qsizetype end = i;
        while (end < name.size() && name.at(end).isSpace())
            ++end;
        const bool between = i > 0 && end < name.size();
        const bool chinese = between && isChineseNamePart(name.at(i - 1)) && isChineseNamePart(name.at(end));
        if (between && !chinese)
            joined.append(u' ');
        i = end;
    }
    return joined;
}
