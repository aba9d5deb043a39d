#include "core/roster/rostercolumns.h"

#include <QRegularExpression>

#include <tuple>

namespace RosterColumns {
namespace {

// "是否组长" and "组长(是/否)" name the same column as "组长".
QString headerKey(const QString &header)
{
    static const QRegularExpression spaces(QStringLiteral("\\s+"));
    static const QRegularExpression note(QStringLiteral("[(（].*$"));
    QString key = header;
    key.remove(spaces).remove(note);
    if (key.startsWith(QStringLiteral("是否")))
        key.remove(0, 2);
    return key.toLower();
}

// A value as typed: blanks around it and letter case do not matter.
QString valueKey(const QString &value)
{
    return value.trimmed().toLower();
}

// "1男2女" or "男1女2", with or without "=" or ":" between; whichever
// reading finds more pairs wins, so "1男2女" never reads as 男2.
QMap<QString, Gender> parseGenderCodes(const QString &text)
{
    static const QRegularExpression digitFirst(QStringLiteral("(\\d)\\s*[=:：]?\\s*([男女])"));
    static const QRegularExpression wordFirst(QStringLiteral("([男女])\\s*[=:：]?\\s*(\\d)"));
    QMap<QString, Gender> best;
    for (const auto &[pattern, digit, word] : {std::tuple{&digitFirst, 1, 2}, std::tuple{&wordFirst, 2, 1}}) {
        QMap<QString, Gender> codes;
        auto matches = pattern->globalMatch(text);
        while (matches.hasNext()) {
            const QRegularExpressionMatch match = matches.next();
            codes.insert(match.captured(digit), match.captured(word) == u'男' ? Gender::Boy : Gender::Girl);
        }
        if (codes.size() > best.size())
            best = codes;
    }
    return best;
}

} // namespace

Kind kindOfHeader(const QString &header)
{
    static const QMap<QString, Kind> kinds = {
        {QStringLiteral("姓名"), Kind::Name},      {QStringLiteral("名字"), Kind::Name},
        {QStringLiteral("学生姓名"), Kind::Name},  {QStringLiteral("性别"), Kind::Gender},
        {QStringLiteral("学号"), Kind::Number},    {QStringLiteral("组长"), Kind::Leader},
        {QStringLiteral("外宿生"), Kind::Boarder}, {QStringLiteral("外宿"), Kind::Boarder},
        {QStringLiteral("走读生"), Kind::Boarder}, {QStringLiteral("走读"), Kind::Boarder},
        {QStringLiteral("住校生"), Kind::Resident}, {QStringLiteral("住校"), Kind::Resident},
    };
    const Kind kind = kinds.value(headerKey(header), Kind::Other);
    if (kind != Kind::Other)
        return kind;
    // "性别 1男2女" declares its codes without brackets.
    const QString compact = QString(header).remove(QRegularExpression(QStringLiteral("\\s+")));
    return compact.startsWith(QStringLiteral("性别")) && !parseGenderCodes(compact.mid(2)).isEmpty() ? Kind::Gender
                                                                                                   : Kind::Other;
}

QMap<QString, Gender> genderCodes(const QString &header)
{
    return kindOfHeader(header) == Kind::Gender ? parseGenderCodes(header) : QMap<QString, Gender>();
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
    return words.value(key, codes.value(key, Gender::Unknown));
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

} // namespace RosterColumns
