#include "common/testenvironment.h"

#include "ui/window/mainwindow.h"
#include "core/storage/appdirectory.h"
#include "core/storage/configstore.h"

#include <QFile>
#include <QTableWidget>
#include <QTextEdit>

TestEnvironment::TestEnvironment()
{
    setAppDirectoryForTesting(m_dir.path());
}

TestEnvironment::~TestEnvironment()
{
    setAppDirectoryForTesting(QString());
}

QString TestEnvironment::configPath() const
{
    return m_dir.filePath(QStringLiteral("config.ini"));
}

void TestEnvironment::writeConfig(const QByteArray &iniText) const
{
    QFile file(configPath());
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(iniText);
}

QByteArray TestEnvironment::readConfig() const
{
    QFile file(configPath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

std::unique_ptr<MainWindow> TestEnvironment::makeWindow() const
{
    return std::make_unique<MainWindow>();
}

void TestEnvironment::copyTemplates() const
{
    for (const QString &name : {QStringLiteral("座位样式1.xlsx"), QStringLiteral("座位样式2.xlsx")})
        QFile::copy(QStringLiteral(QUORVANE_TEMPLATE_DIR "/") + name, m_dir.filePath(name));
}

QStringList tableRows(QTableWidget *table)
{
    QStringList rows;
    for (int r = 0; r < table->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < table->columnCount(); ++c)
            cells.append(table->item(r, c) ? table->item(r, c)->text() : QString());
        rows.append(cells.join(u'|'));
    }
    return rows;
}

QByteArray demoConfigText()
{
    QFile file(QStringLiteral(QUORVANE_EXAMPLES_DIR "/config.ini"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

ClassModel loadDemoClass()
{
    ClassModel model;
    QString style;
    const QString path = QStringLiteral(QUORVANE_EXAMPLES_DIR "/config.ini");
    ConfigStore::readRoster(path, model, style);
    ConfigStore::readGroupRecords(path, model);
    return model;
}

ClassModel loadDemoClassSeated()
{
    ClassModel model = loadDemoClass();
    model.generatedGroups.clear();
    for (int group = 0; group < 9; ++group) {
        Group members;
        for (int seat = 1; seat <= 6; ++seat)
            members.append(group * 6 + seat);
        model.generatedGroups.append(members);
    }
    return model;
}

QStringList logLines(MainWindow *window)
{
    auto *view = window->findChild<QTextEdit *>(QStringLiteral("logView"));
    if (!view || view->document()->isEmpty())
        return {};
    return view->toPlainText().split(u'\n');
}
