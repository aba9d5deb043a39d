// What a command says on the first run of the installed program, when the
// class it would read does not exist yet.
#include "cli/command.h"

#include "core/storage/appdirectory.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>

namespace CommandLine {

QString missingClassHint(const QCommandLineParser &parser)
{
    if (parser.isSet(QStringLiteral("config")) || QFileInfo::exists(configFilePath()))
        return QString();
    QString hint = QStringLiteral("还没有班级：用 --config 指定班级的配置文件，或打开窗口在“设置”中录入班级"
                                  "（quorvane import 名单文件 也可导入名单");
    // The demo is copied, not used in place: its folder is not the user's to write.
    if (const QString demo = demoClassPath(); !demo.isEmpty()) {
        hint += QStringLiteral("；示例班级 %1 可复制为 %2")
                    .arg(QDir::toNativeSeparators(demo), QDir::toNativeSeparators(configFilePath()));
    }
    return hint + QStringLiteral("）");
}

} // namespace CommandLine
