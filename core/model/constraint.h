#pragma once

#include "core/model/personid.h"

#include <QList>
#include <QString>

// A requirement: the listed persons, in the order typed.
using Constraint = QList<PersonId>;

enum class ConstraintKind { MustTogether, MustSeparate };

// The texts the requirement panel shows for each kind.
inline QString constraintKindText(ConstraintKind kind)
{
    return kind == ConstraintKind::MustTogether ? QStringLiteral("必须同组")
                                                : QStringLiteral("不能同组");
}
