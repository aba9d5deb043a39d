#include "core/rules/groupdetails.h"

#include "core/rules/requirementcheck.h"

QString groupDetailsHtml(const ClassModel &model, int row)
{
    if (row < 0 || row >= model.enabledGroupIndexes().size())
        return {};

    QString text = QStringLiteral("<b>组 %1 详情:</b><br>").arg(row + 1);
    // A grouping older than the group records may have fewer groups than rows.
    const Group members = model.generatedGroups.value(row);
    for (PersonId id : members)
        text += model.nameOf(id).toHtmlEscaped() + u' ';

    const RequirementCheck check = checkRequirements(model, model.generatedGroups);
    for (const RequirementKind kind : {RequirementKind::MustTogether, RequirementKind::MustSeparate}) {
        const QString warning = kind == RequirementKind::MustTogether
                                    ? QStringLiteral("<br><font color='red'>警告: 必须同组要求未满足</font>")
                                    : QStringLiteral("<br><font color='red'>警告: 不能同组要求未满足</font>");
        for (const RequirementResult &result : check.ofKind(kind)) {
            if (!result.met)
                text += warning;
        }
    }
    return text;
}
