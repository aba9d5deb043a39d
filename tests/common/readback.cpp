#include "common/readback.h"

#include <QCryptographicHash>
#include <QFile>
#include <QJsonDocument>
#include <QProcess>

QByteArray runPython(const QString &script, const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral("/usr/bin/python3"),
                  QStringList{QStringLiteral(QUORVANE_EXPORT_TEST_DIR "/") + script} + arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        qWarning("%s failed: %s", qPrintable(script), process.readAllStandardError().constData());
        return {};
    }
    return process.readAllStandardOutput();
}

QJsonObject readBack(const QString &workbookPath)
{
    return QJsonDocument::fromJson(runPython(QStringLiteral("readback.py"), {workbookPath})).object();
}

QByteArray fileDigest(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}
