#include "requirements/groupdetails.h"

#include <QSet>

QString groupDetailsHtml(const ClassModel &model, int row)
{
    if (row < 0 || row >= model.enabledGroupIndexes().size())
        return {};

    QString text = QStringLiteral("<b>组 %1 详情:</b><br>").arg(row + 1);
    // A grouping older than the group records may have fewer groups than rows.
    const Group members = model.generatedGroups.value(row);
    for (PersonId id : members)
        text += model.nameOf(id).toHtmlEscaped() + u' ';

    const QMap<PersonId, int> groupOf = personGroupMap(model.generatedGroups);
    for (const Constraint &requirement : model.mustTogether) {
        QSet<int> positions;
        for (PersonId id : requirement)
            positions.insert(groupOf.value(id));
        if (positions.size() > 1)
            text += QStringLiteral("<br><font color='red'>警告: 必须同组要求未满足</font>");
    }
    for (const Constraint &requirement : model.mustSeparate) {
        QMap<int, int> counts;
        for (PersonId id : requirement) {
            if (++counts[groupOf.value(id)] == 2) {
                text += QStringLiteral("<br><font color='red'>警告: 不能同组要求未满足</font>");
                break;
            }
        }
    }
    return text;
}
