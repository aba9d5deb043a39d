#include "core/rules/constraintinput.h"

#include <QStringList>

ConstraintInput parseConstraintInput(const QString &text, const QString &kindText,
                                     const QMap<QString, PersonId> &nameToId)
{
    ConstraintInput input;
    const QString trimmed = text.trimmed();
    if (trimmed.contains(u',') || trimmed.contains(u';')) {
        input.error = QStringLiteral("姓名不能包含逗号或分号");
        return input;
    }
    input.kind = kindText.contains(QStringLiteral("必须")) ? ConstraintKind::MustTogether
                                                          : ConstraintKind::MustSeparate;
    if (trimmed.isEmpty()) {
        input.error = QStringLiteral("请输入至少一个姓名");
        return input;
    }

    QStringList invalid;
    for (const QString &part : trimmed.split(u' ', Qt::SkipEmptyParts)) {
        const auto it = nameToId.constFind(part);
        if (it == nameToId.cend())
            invalid.append(part);
        else
            input.members.append(it.value());
    }
    if (!invalid.isEmpty()) {
        input.error = QStringLiteral("以下姓名无效: ") + invalid.join(QStringLiteral(", "));
        input.members.clear();
        return input;
    }
    if (input.members.size() < 2) {
        input.error = QStringLiteral("要求需要至少两个有效姓名");
        input.members.clear();
    }
    return input;
}
