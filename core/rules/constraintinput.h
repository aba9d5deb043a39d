#pragma once

#include "core/model/constraint.h"
#include "core/model/personid.h"

#include <QMap>
#include <QString>

// A requirement typed into the requirement panel, checked against the roster.
struct ConstraintInput
{
    // The refusal shown to the user; empty when the input is accepted.
    QString error;
    ConstraintKind kind = ConstraintKind::MustTogether;
    Constraint members;

    bool isValid() const { return error.isEmpty(); }
};

// Names are separated by single spaces (runs of spaces count as one); ASCII
// commas and semicolons are refused before any name is looked up, so that a
// list typed the wrong way gets a hint instead of "invalid name".
ConstraintInput parseConstraintInput(const QString &text, const QString &kindText,
                                     const QMap<QString, PersonId> &nameToId);
