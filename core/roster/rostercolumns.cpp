#include "core/roster/rostercolumns.h"

#include <QRegularExpression>

#include <tuple>

namespace RosterColumns {
namespace {

// "是否组长" and "组长(是/否)" name the same column as "组长"; "姓　名" with a
// full-width blank is "姓名".
QString headerKey(const QString &header)
{
    static const QRegularExpression note(QStringLiteral("[(（].*$"));
    QString key = withoutSpaces(header);
    key.remove(note);
    if (key.startsWith(QStringLiteral("是否")))
        key.remove(0, 2);
    return key.toLower();
}

// A value as typed: blanks around it and letter case do not matter.
QString valueKey(const QString &value)
{
    return value.trimmed().toLower();
}

// "1男2女", "1-男 2-女", "1为男", "男=1", "男：1": one digit and 男 or 女,
// either first, with a dash, equals sign, colon, 为 or 是 between or nothing.
// Whichever reading finds more pairs wins, so "1-男 2-女" never reads as 男2;
// a reading that gives one digit both genders is no reading.
QMap<QString, Gender> parseGenderCodes(const QString &note)
{
    // Full-width digits and punctuation as their plain forms.
    const QString text = note.normalized(QString::NormalizationForm_KC);
    static const QString between = QStringLiteral("\\s*(?:[-=:.、—–~]+|为|是|代表|表示)?\\s*");
    static const QRegularExpression digitFirst(QStringLiteral("(?<![0-9])([0-9])") + between + QStringLiteral("([男女])"));
    static const QRegularExpression wordFirst(QStringLiteral("([男女])[生性]?") + between + QStringLiteral("([0-9])(?![0-9人名])"));
    QMap<QString, Gender> best;
    for (const auto &[pattern, digit, word] : {std::tuple{&digitFirst, 1, 2}, std::tuple{&wordFirst, 2, 1}}) {
        QMap<QString, Gender> codes;
        bool consistent = true;
        auto matches = pattern->globalMatch(text);
        while (matches.hasNext()) {
            const QRegularExpressionMatch match = matches.next();
            const Gender gender = match.captured(word) == u'男' ? Gender::Boy : Gender::Girl;
            const QString code = match.captured(digit);
            consistent = consistent && codes.value(code, gender) == gender;
            codes.insert(code, gender);
        }
        if (consistent && codes.size() > best.size())
            best = codes;
    }
    return best;
}

} // namespace

QString withoutSpaces(const QString &text)
{
    QString result;
    result.reserve(text.size());
    for (const QChar c : text) {
        if (!c.isSpace())
            result.append(c);
    }
    return result;
}

Kind kindOfHeader(const QString &header)
{
    static const QMap<QString, Kind> kinds = {
        {QStringLiteral("姓名"), Kind::Name},         {QStringLiteral("名字"), Kind::Name},
        {QStringLiteral("学生姓名"), Kind::Name},     {QStringLiteral("性别"), Kind::Gender},
        {QStringLiteral("学号"), Kind::Number},       {QStringLiteral("组长"), Kind::Leader},
        {QStringLiteral("外宿生"), Kind::Boarder},    {QStringLiteral("外宿"), Kind::Boarder},
        {QStringLiteral("走读生"), Kind::Boarder},    {QStringLiteral("走读"), Kind::Boarder},
        {QStringLiteral("住校生"), Kind::Resident},   {QStringLiteral("住校"), Kind::Resident},
        {QStringLiteral("住宿"), Kind::Resident},     {QStringLiteral("住宿生"), Kind::Resident},
        {QStringLiteral("住宿情况"), Kind::Resident}, {QStringLiteral("住校情况"), Kind::Resident},
        {QStringLiteral("住校/走读"), Kind::Resident}, {QStringLiteral("走读/住校"), Kind::Resident},
        {QStringLiteral("住宿/走读"), Kind::Resident}, {QStringLiteral("走读/住宿"), Kind::Resident},
        {QStringLiteral("寄宿"), Kind::Resident},     {QStringLiteral("寄宿生"), Kind::Resident},
        {QStringLiteral("就读方式"), Kind::Resident}, {QStringLiteral("住宿方式"), Kind::Resident},
    };
    const Kind kind = kinds.value(headerKey(header), Kind::Other);
    if (kind != Kind::Other)
        return kind;
    // "性别 1男2女" declares its codes without brackets.
    const QString compact = withoutSpaces(header);
    return compact.startsWith(QStringLiteral("性别")) && !parseGenderCodes(compact.mid(2)).isEmpty() ? Kind::Gender
                                                                                                   : Kind::Other;
}

QMap<QString, Gender> genderCodes(const QString &header)
{
    return kindOfHeader(header) == Kind::Gender ? parseGenderCodes(header) : QMap<QString, Gender>();
}

QMap<QString, Gender> legendCodes(const QString &text)
{
    if (!text.contains(u'男') || !text.contains(u'女'))
        return {};
    const QMap<QString, Gender> codes = parseGenderCodes(text);
    const bool both = codes.values().contains(Gender::Boy) && codes.values().contains(Gender::Girl);
    return both ? codes : QMap<QString, Gender>();
}

Gender genderOf(const QString &value, const QMap<QString, Gender> &codes)
{
    static const QMap<QString, Gender> words = {
        {QStringLiteral("男"), Gender::Boy},    {QStringLiteral("男生"), Gender::Boy},
        {QStringLiteral("m"), Gender::Boy},     {QStringLiteral("male"), Gender::Boy},
        {QStringLiteral("女"), Gender::Girl},   {QStringLiteral("女生"), Gender::Girl},
        {QStringLiteral("f"), Gender::Girl},    {QStringLiteral("female"), Gender::Girl},
    };
    const QString key = valueKey(value);
    const QString code = key.normalized(QString::NormalizationForm_KC);
    return words.value(key, codes.value(code, Gender::Unknown));
}

Answer answerOf(const QString &value)
{
    static const QMap<QString, Answer> answers = {
        {QStringLiteral("是"), Answer::Yes},   {QStringLiteral("√"), Answer::Yes},
        {QStringLiteral("✓"), Answer::Yes},   {QStringLiteral("✔"), Answer::Yes},
        {QStringLiteral("1"), Answer::Yes},    {QStringLiteral("y"), Answer::Yes},
        {QStringLiteral("yes"), Answer::Yes},  {QStringLiteral("true"), Answer::Yes},
        {QStringLiteral("否"), Answer::No},    {QStringLiteral("×"), Answer::No},
        {QStringLiteral("✗"), Answer::No},    {QStringLiteral("0"), Answer::No},
        {QStringLiteral("n"), Answer::No},     {QStringLiteral("no"), Answer::No},
        {QStringLiteral("false"), Answer::No},
    };
    const QString key = valueKey(value);
    return key.isEmpty() ? Answer::Blank : answers.value(key, Answer::Unknown);
}

Lodging lodgingOf(const QString &value, Kind column)
{
    static const QMap<QString, Lodging> words = {
        {QStringLiteral("住校"), Lodging::Boards},       {QStringLiteral("住校生"), Lodging::Boards},
        {QStringLiteral("住宿"), Lodging::Boards},       {QStringLiteral("住宿生"), Lodging::Boards},
        {QStringLiteral("寄宿"), Lodging::Boards},       {QStringLiteral("寄宿生"), Lodging::Boards},
        {QStringLiteral("住读"), Lodging::Boards},       {QStringLiteral("内宿"), Lodging::Boards},
        {QStringLiteral("走读"), Lodging::DayStudent},   {QStringLiteral("走读生"), Lodging::DayStudent},
        {QStringLiteral("外宿"), Lodging::DayStudent},   {QStringLiteral("外宿生"), Lodging::DayStudent},
        {QStringLiteral("不住宿"), Lodging::DayStudent}, {QStringLiteral("不住校"), Lodging::DayStudent},
        {QStringLiteral("非住校"), Lodging::DayStudent}, {QStringLiteral("非住宿"), Lodging::DayStudent},
        {QStringLiteral("不寄宿"), Lodging::DayStudent}, {QStringLiteral("通校"), Lodging::DayStudent},
        {QStringLiteral("通学"), Lodging::DayStudent},
    };
    const QString key = withoutSpaces(value);
    const auto word = words.constFind(key);
    if (word != words.cend())
        return word.value();
    const bool asksDayStudent = column == Kind::Boarder;
    switch (answerOf(value)) {
    case Answer::Blank:
        return Lodging::Blank;
    case Answer::Yes:
        return asksDayStudent ? Lodging::DayStudent : Lodging::Boards;
    case Answer::No:
        return asksDayStudent ? Lodging::Boards : Lodging::DayStudent;
    case Answer::Unknown:
        break;
    }
    return Lodging::Unknown;
}

} // namespace RosterColumns
