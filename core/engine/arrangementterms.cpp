#include "core/engine/arrangementsolver.h"

#include "core/rules/requirementcheck.h"

#include <QStringList>

// The parts of the solver's interface that need no solver library: the
// engine uses them whether or not the library can be loaded.
namespace ArrangementSolver {

Budget budgetFor(const ClassModel &model)
{
    // 20,000 nodes take about 0.3 s of CPU for 60 students and 0.7 s for
    // 1,000 where we measured; the search rarely needs that many.
    constexpr quint64 nodes = 20000;
    return {nodes, model.personCount() <= 100 ? 2000 : 5000};
}

QString describe(const ClassModel &model, const QList<Setting> &settings)
{
    QStringList parts;
    for (const Setting &setting : settings) {
        QStringList names;
        switch (setting.kind) {
        case SettingKind::MustTogether:
        case SettingKind::MustSeparate: {
            const bool together = setting.kind == SettingKind::MustTogether;
            const QList<Constraint> &list = together ? model.mustTogether : model.mustSeparate;
            for (PersonId id : rosterMembers(model, list.value(setting.index)))
                names.append(model.nameOf(id));
            parts.append(QStringLiteral("%1 %2").arg(constraintKindText(together ? ConstraintKind::MustTogether
                                                                                  : ConstraintKind::MustSeparate),
                                                      names.join(QStringLiteral(", "))));
            break;
        }
        case SettingKind::FixedPosition: {
            const FixedPosition pin = model.fixedPositions.value(setting.index);
            parts.append(QStringLiteral("固定位置 %1（组%2座位%3）").arg(model.nameOf(setting.index)).arg(pin.group).arg(pin.seat));
            break;
        }
        }
    }
    return parts.join(QStringLiteral(" / "));
}

} // namespace ArrangementSolver
