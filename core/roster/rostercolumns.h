#pragma once

#include <QMap>
#include <QString>

// What the columns of a school's class list mean, by their header, and how
// their values are spelt. The accepted spellings are listed in the .cpp.
namespace RosterColumns {

enum class Kind {
    Other,
    Name,
    Gender,
    Number,     // 学号: orders the roster, nothing more
    Leader,     // yes marks a 组长
    Boarder,    // 外宿生, 走读生: yes marks a 外宿生
    Resident,   // 住校生, 住宿情况: the opposite; only an explicit no marks a 外宿生
};

enum class Gender { Unknown, Boy, Girl };
enum class Answer { Blank, Yes, No, Unknown };
// Whether a student lives at school, as a lodging column says it.
enum class Lodging { Blank, Boards, DayStudent, Unknown };

Kind kindOfHeader(const QString &header);
// Digit codes a gender header declares, as in "性别(1男2女)" or
// "性别（1=男，2=女）"; empty when it declares none.
QMap<QString, Gender> genderCodes(const QString &header);
// Digit codes a note explains for both genders, wherever it stands: "性别：1-男
// 2-女", "注：1为男，2为女", "男=1 女=2"; empty when it does not explain both.
QMap<QString, Gender> legendCodes(const QString &text);
// 男/女 and their spellings, or a declared code.
Gender genderOf(const QString &value, const QMap<QString, Gender> &codes = {});
Answer answerOf(const QString &value);
// 住校/走读 and their spellings whatever the column; yes and no by what the
// column asks (a 走读生 column's yes is a day student, a 住校 column's yes boards).
Lodging lodgingOf(const QString &value, Kind column);
// A header or value with its blanks (also full-width and non-breaking ones) taken out.
QString withoutSpaces(const QString &text);

} // namespace RosterColumns
