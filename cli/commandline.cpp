#include "cli/commandline.h"

#include "core/platform/translation.h"
#include "cli/command.h"
#include "core/storage/appdirectory.h"
#include "core/update/releaseinfo.h"

#include <QByteArray>
#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>
#include <memory>

namespace CommandLine {
namespace {

const QString kProgram = QStringLiteral("quorvane");

bool isHelp(const QString &argument)
{
    return argument == QLatin1String("-h") || argument == QLatin1String("--help")
        || argument == QLatin1String("-?") || argument == QLatin1String("--help-all");
}

bool isVersion(const QString &argument)
{
    return argument == QLatin1String("-v") || argument == QLatin1String("--version");
}

const QList<Command> &commands()
{
    static const QList<Command> all{generateCommand(), checkCommand(), importCommand()};
    return all;
}

QString generalHelp()
{
    QStringList lines{QStringLiteral("用法：%1 [命令] [选项]").arg(kProgram), QString(),
                      QStringLiteral("不带参数时打开窗口。以下命令不打开窗口，也不需要图形显示："), QString()};
    for (const Command &command : commands())
        lines.append(QStringLiteral("  %1  %2").arg(command.name.leftJustified(10), command.summary));
    lines << QString() << QStringLiteral("选项：") << QStringLiteral("  -h, --help     显示帮助")
          << QStringLiteral("  -v, --version  显示版本") << QString()
          << QStringLiteral("“%1 <命令> --help”显示该命令的选项。").arg(kProgram);
    return lines.join(u'\n');
}

QString commandHelp(const Command &command, const QCommandLineParser &parser)
{
    // Qt's usage line puts the options before the command; ours follow it.
    QString help = parser.helpText();
    QString usage = QStringLiteral("用法：%1 %2 [选项]").arg(kProgram, command.name);
    if (!command.arguments.isEmpty())
        usage += u' ' + command.arguments;
    help.replace(0, help.indexOf(u'\n'), usage);
    return help.trimmed();
}

const PageDrawing *installedDrawing = nullptr;

} // namespace

// Decided from the raw arguments, as the application object depends on it.
bool drawsPages(int argc, char *argv[])
{
    const QString first = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    for (const Command &command : commands()) {
        if (command.name != first || command.drawingOption.isEmpty())
            continue;
        const QString option = QStringLiteral("--") + command.drawingOption;
        for (int i = 2; i < argc; ++i) {
            const QString argument = QString::fromLocal8Bit(argv[i]);
            if (argument == option || argument.startsWith(option + u'='))
                return true;
        }
    }
    return false;
}

namespace {

// Commands, help and the version load nothing of the GUI. Drawing a page needs
// a QGuiApplication.
std::unique_ptr<QCoreApplication> makeApplication(int &argc, char *argv[])
{
    if (installedDrawing && drawsPages(argc, argv))
        return installedDrawing->makeApplication(argc, argv);
    return std::make_unique<QCoreApplication>(argc, argv);
}

int runCommand(const Command &command, QStringList arguments, Console &console)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(command.summary);
    const QCommandLineOption help = parser.addHelpOption();
    parser.addOptions(command.options);
    if (!command.arguments.isEmpty())
        parser.addPositionalArgument(command.arguments, QString());
    // The parser expects the program first; the command's name is not an argument of its own.
    arguments.removeAt(1);
    const QString hint = QStringLiteral("（用“%1 %2 --help”查看用法）").arg(kProgram, command.name);
    if (!parser.parse(arguments)) {
        console.fail(parser.errorText() + hint);
        return BadInput;
    }
    if (parser.isSet(help)) {
        console.print(commandHelp(command, parser));
        return Success;
    }
    if (command.arguments.isEmpty() && !parser.positionalArguments().isEmpty()) {
        console.fail(QStringLiteral("多余的参数“%1”").arg(parser.positionalArguments().constFirst()) + hint);
        return BadInput;
    }
    return command.run(parser, console);
}

} // namespace

bool wanted(int argc, char *argv[])
{
    if (argc < 2)
        return false;
    const QString first = QString::fromLocal8Bit(argv[1]);
    return !first.startsWith(u'-') || isHelp(first) || isVersion(first);
}

const PageDrawing *pageDrawing()
{
    return installedDrawing;
}

int run(int argc, char *argv[], const PageDrawing *drawing)
{
    installedDrawing = drawing;
    const std::unique_ptr<QCoreApplication> app = makeApplication(argc, argv);
    QCoreApplication::setApplicationName(kApplicationName);
    QCoreApplication::setApplicationVersion(ReleaseInfo::kCurrentVersion);
    installQtChineseTranslation(app.get());

    Console console;
    const QStringList arguments = QCoreApplication::arguments();
    const QString first = arguments.value(1);
    if (isHelp(first)) {
        console.print(generalHelp());
        return Success;
    }
    if (isVersion(first)) {
        console.print(QStringLiteral("%1 %2").arg(kApplicationName, ReleaseInfo::kCurrentVersion));
        return Success;
    }
    for (const Command &command : commands()) {
        if (command.name == first)
            return runCommand(command, arguments, console);
    }
    console.fail(QStringLiteral("未知的命令“%1”（用“%2 --help”查看可用的命令）").arg(first, kProgram));
    return BadInput;
}

int refuseWindowArguments(const QStringList &arguments)
{
    Console().fail(QStringLiteral("未知的选项“%1”（用“%2 --help”查看用法）").arg(arguments.value(1), kProgram));
    return BadInput;
}

QCommandLineOption configOption()
{
    return {QStringLiteral("config"), QStringLiteral("读取这个配置文件（默认：窗口使用的 config.ini）。从不写入。"),
            QStringLiteral("FILE")};
}

QString configPathOf(const QCommandLineParser &parser)
{
    const QString option = QStringLiteral("config");
    return parser.isSet(option) ? parser.value(option) : configFilePath();
}

void Console::print(const QString &line) const
{
    if (m_quiet)
        return;
    const QByteArray bytes = line.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

void Console::fail(const QString &message) const
{
    const QByteArray bytes = (kProgram + QStringLiteral(": ") + message).toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
    std::fflush(stderr);
}

} // namespace CommandLine
