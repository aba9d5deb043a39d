#pragma once

#include "core/model/classmodel.h"

#include <QDate>
#include <QString>

// Reading and writing config.ini. Every call opens its own QSettings on the
// given path in INI format and lets it go before returning.
namespace ConfigStore {

inline const QString kDefaultStyle = QStringLiteral("样式1");
inline const QString kCustomStyle = QStringLiteral("自定义");

// Largest seat count or target a group record may carry; values outside
// 0..this in a hand-edited file are clamped, so that nothing allocates absurd
// groups and no quota arithmetic can overflow.
constexpr int kMaxGroupTotal = 100;

// The "尽量避免与上次同组" switch, kept with the group records.
inline const QString kAvoidLastGroupmatesKey = QStringLiteral("Generation/AvoidLastGroupmates");
// Tries per "生成分组", written with the settings; a missing or unreadable
// value reads as the default, one out of range as the nearest bound.
inline const QString kGenerationTriesKey = QStringLiteral("Generation/Tries");
// Whether generation calls the constraint solver; missing or unreadable reads as on.
inline const QString kUseSolverKey = QStringLiteral("Generation/UseSolver");

// Roster, leader and boarder sets and the style; name maps rebuilt. Tabs and
// other control characters are taken out of the names; returns how many
// names held any.
int readRoster(const QString &path, ClassModel &model, QString &style);
// The ten group records, the fixed positions, both requirement lists, the
// tries per generation, the "尽量避免与上次同组" switch and the solver setting.
void readGroupRecords(const QString &path, ClassModel &model);
// Group records, fixed positions and requirements; true when the file was
// written without error.
bool writeGroupRecords(const QString &path, const ClassModel &model);
// What the settings dialog's save changes, in one write of the file, so that
// no moment exists at which the new roster stands beside the old pins: roster
// keys, "Style/Current", "Style/CustomPath" only for the custom style, the
// tries per generation, the solver setting, and everything writeGroupRecords writes.
bool writeSettings(const QString &path, const ClassModel &model, const QString &style, const QString &customPath);

QString readCustomTemplatePath(const QString &path);

QDate readLastUpdateCheck(const QString &path);
void writeLastUpdateCheck(const QString &path, const QDate &date);
// A check is due when there is no valid stored date or it lies 7 or more
// days back; a date in the future never makes one due.
bool isUpdateCheckDue(const QDate &lastCheck, const QDate &today);

// Entry formats of the lists, exposed for the editors and tests.
QString fixedPositionEntry(PersonId id, const FixedPosition &position);
QString constraintEntry(const Constraint &constraint);
QList<PersonId> parsePersonList(const QString &entry);

} // namespace ConfigStore
