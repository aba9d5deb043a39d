#include "common/testenvironment.h"

#include "app/mainwindow.h"
#include "config/appdirectory.h"

#include <QFile>
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

QStringList logLines(MainWindow *window)
{
    auto *view = window->findChild<QTextEdit *>(QStringLiteral("logView"));
    if (!view || view->document()->isEmpty())
        return {};
    return view->toPlainText().split(u'\n');
}
