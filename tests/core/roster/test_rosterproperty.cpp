// Random class lists laid out as schools lay them out (title rows, gender
// codes explained in the header, above or below the list or not at all, lists
// printed two-up, names padded for alignment, lodging columns in their
// wordings): the import is exactly the class that was written, in reading
// order, or nobody at all; never a student twice or with the wrong gender.
#include "core/roster/rosterimport.h"

#include <QFile>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Student
{
    QString name;
    bool boy = false;
    bool dayStudent = false;
};

enum class Genders { Words, HeaderCodes, LegendAbove, LegendBelow, LegendInOtherHeader, Unexplained };

struct Lodging
{
    const char *header;
    const char *day;
    const char *boards;
};

const Lodging kLodgings[] = {
    {"住宿情况", "走读", "住校"}, {"住宿情况", "不住宿", "住宿"}, {"是否住校", "否", "是"}, {"走读生", "是", "否"},
    {"住校/走读", "走读", "住校"}, {"外宿生", "√", ""},           {"住校生", "否", "是"},
};

// %1 the boys' code, %2 the girls'.
const char *const kWordings[] = {
    "%1-男 %2-女", "%1为男，%2为女", "%1=男,%2=女", "男：%1，女：%2", "%1男%2女", "男%1女%2", "%1是男 %2是女",
    "男-%1 女-%2", "%1：男；%2：女",
};

const char *const kNameHeaders[] = {"姓名", "姓\u3000名", "姓\u00a0名", "姓 名", "学生姓名"};
const char *const kPadding[] = {" ", "  ", "\u3000", "\u00a0", " \u3000"};

QString csvField(const QString &text)
{
    if (!text.contains(u',') && !text.contains(u'"'))
        return text;
    return u'"' + QString(text).replace(QStringLiteral("\""), QStringLiteral("\"\"")) + u'"';
}

class RandomList
{
public:
    explicit RandomList(quint32 seed)
        : m_random(seed)
    {
    }

    QList<Student> students;
    Genders genders = Genders::Words;
    int blocks = 1;

    // The list as CSV text; students and their expected reading come with it.
    QString write()
    {
        const int count = 1 + int(m_random.bounded(30));
        QSet<QString> used;
        while (students.size() < count) {
            const QString name = randomName();
            if (used.contains(name))
                continue;
            used.insert(name);
            students.append({name, m_random.bounded(2) == 0, m_random.bounded(3) == 0});
        }
        genders = Genders(m_random.bounded(6));
        blocks = count > 1 && m_random.bounded(3) == 0 ? 2 : 1;
        const int boyCode = int(m_random.bounded(3));
        const int girlCode = (boyCode + 1 + int(m_random.bounded(2))) % 3;
        const QString wording =
            QString::fromUtf8(kWordings[m_random.bounded(int(std::size(kWordings)))]).arg(boyCode).arg(girlCode);
        const Lodging &lodging = kLodgings[m_random.bounded(int(std::size(kLodgings)))];
        const bool numbered = m_random.bounded(2) == 0;
        const bool spacer = blocks == 2 && m_random.bounded(2) == 0;

        QStringList header;
        if (numbered)
            header.append(QStringLiteral("序号"));
        header << QString::fromUtf8(kNameHeaders[m_random.bounded(int(std::size(kNameHeaders)))])
               << (genders == Genders::HeaderCodes ? QStringLiteral("性别(%1)").arg(wording) : QStringLiteral("性别"))
               << QString::fromUtf8(lodging.header);
        if (genders == Genders::LegendInOtherHeader)
            header.append(QStringLiteral("备注（性别：%1）").arg(wording));
        const qsizetype width = header.size();

        QStringList lines;
        if (m_random.bounded(2) == 0)
            lines.append(QStringLiteral("高一(%1)班学生名单").arg(1 + m_random.bounded(9)));
        if (genders == Genders::LegendAbove)
            lines.append(csvField(QStringLiteral("性别：%1").arg(wording)));
        QStringList headerLine = header;
        if (blocks == 2)
            headerLine += (spacer ? QStringList{QString()} : QStringList()) + header;
        lines.append(rowText(headerLine));

        const qsizetype perBlock = blocks == 2 ? (students.size() + 1) / 2 : students.size();
        for (qsizetype row = 0; row < perBlock; ++row) {
            QStringList cells;
            for (int block = 0; block < blocks; ++block) {
                const qsizetype index = block * perBlock + row;
                if (block == 1 && spacer)
                    cells.append(QString());
                if (index >= students.size()) {
                    cells += QStringList(width, QString());
                    continue;
                }
                const Student &student = students.at(index);
                if (numbered)
                    cells.append(QString::number(index + 1));
                cells << padded(student.name) << genderText(student, boyCode, girlCode)
                      << QString::fromUtf8(student.dayStudent ? lodging.day : lodging.boards);
                if (genders == Genders::LegendInOtherHeader)
                    cells.append(QString());
            }
            lines.append(rowText(cells));
        }
        if (genders == Genders::LegendBelow)
            lines.append(csvField(QStringLiteral("注：%1").arg(wording)));
        return lines.join(u'\n') + u'\n';
    }

    QStringList expectedNames(bool boys) const
    {
        QStringList names;
        if (genders == Genders::Unexplained)
            return names;
        for (const Student &student : students) {
            if (student.boy == boys)
                names.append(student.name);
        }
        return names;
    }

    QSet<QString> expectedDayStudents() const
    {
        QSet<QString> names;
        for (const Student &student : students) {
            if (student.dayStudent && genders != Genders::Unexplained)
                names.insert(student.name);
        }
        return names;
    }

private:
    QString randomName()
    {
        static const QString surnames = QStringLiteral("王李张刘陈杨黄赵周吴徐孙马朱胡郭何林高罗欧");
        static const QString given = QStringLiteral("伟芳娜敏静丽强磊军洋勇艳杰娟涛明超秀霞平刚英华");
        QString name = surnames.at(m_random.bounded(int(surnames.size())));
        const int length = 1 + int(m_random.bounded(2));
        for (int i = 0; i < length; ++i)
            name += given.at(m_random.bounded(int(given.size())));
        return name;
    }

    // Printed lists pad two-character names to the width of three.
    QString padded(const QString &name)
    {
        if (m_random.bounded(3) != 0)
            return name;
        const QString blank = QString::fromUtf8(kPadding[m_random.bounded(int(std::size(kPadding)))]);
        return name.left(1) + blank + name.mid(1);
    }

    QString genderText(const Student &student, int boyCode, int girlCode)
    {
        if (genders == Genders::Words)
            return student.boy ? QStringLiteral("男") : QStringLiteral("女");
        return QString::number(student.boy ? boyCode : girlCode);
    }

    static QString rowText(const QStringList &cells)
    {
        QStringList fields;
        for (const QString &cell : cells)
            fields.append(csvField(cell));
        return fields.join(u',');
    }

    QRandomGenerator m_random;
};

} // namespace

class TestRosterProperty : public QObject
{
    Q_OBJECT

private slots:
    void randomListsImportExactly();

private:
    QTemporaryDir dir;
};

void TestRosterProperty::randomListsImportExactly()
{
    const int lists = qEnvironmentVariableIntValue("QUORVANE_PROPERTY_LISTS") > 0
        ? qEnvironmentVariableIntValue("QUORVANE_PROPERTY_LISTS")
        : 400;
    for (int seed = 1; seed <= lists; ++seed) {
        RandomList list{quint32(seed)};
        const QString text = list.write();
        const QString path = dir.filePath(QStringLiteral("list%1.csv").arg(seed));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(text.toUtf8());
        file.close();

        const RosterImport import = interpretRoster(readTableFile(path));
        const QString context = QStringLiteral("seed %1:\n%2").arg(seed).arg(text);
        QVERIFY2(import.refusal.isEmpty(), qPrintable(context + import.refusal));
        QVERIFY2(import.boyNames() == list.expectedNames(true), qPrintable(context + import.boyNames().join(u' ')));
        QVERIFY2(import.girlNames() == list.expectedNames(false), qPrintable(context + import.girlNames().join(u' ')));
        const QStringList dayStudents = import.boarderNames();
        QVERIFY2(QSet<QString>(dayStudents.begin(), dayStudents.end()) == list.expectedDayStudents(),
                 qPrintable(context + dayStudents.join(u' ')));
        QCOMPARE(import.blockCount, list.blocks);
        QCOMPARE(import.unexplainedRows, list.genders == Genders::Unexplained ? int(list.students.size()) : 0);
    }
}

QTEST_GUILESS_MAIN(TestRosterProperty)
#include "test_rosterproperty.moc"
