#include "core/storage/classfile.h"

#include "core/storage/configstore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

ClassFile readClassFile(const QString &path)
{
    ClassFile file;
    const QString shown = QDir::toNativeSeparators(path);
    const QFileInfo info(path);
    if (!info.exists()) {
        file.problem = QStringLiteral("找不到配置文件“%1”").arg(shown);
        return file;
    }
    if (info.isDir()) {
        file.problem = QStringLiteral("“%1”是文件夹，不是配置文件").arg(shown);
        return file;
    }
    QFile probe(path);
    if (!probe.open(QIODevice::ReadOnly)) {
        file.problem = QStringLiteral("无法读取配置文件“%1”：%2").arg(shown, probe.errorString());
        return file;
    }
    // The settings library reads any bytes as INI; a binary file (a workbook
    // given by mistake) holds zero bytes, which no INI text does.
    const bool binary = probe.readAll().contains('\0');
    probe.close();
    if (binary || QSettings(path, QSettings::IniFormat).status() != QSettings::NoError) {
        file.problem = QStringLiteral("配置文件“%1”不是可读的 INI 文件").arg(shown);
        return file;
    }
    ConfigStore::readRoster(path, file.model, file.style);
    ConfigStore::readGroupRecords(path, file.model);
    return file;
}
