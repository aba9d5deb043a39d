#pragma once

#include <QCommandLineOption>
#include <QList>
#include <QString>

#include <functional>

class QCommandLineParser;

namespace CommandLine {

// The process's exit codes.
enum Exit : int {
    Success = 0,
    BadInput = 1,     // bad arguments, or input that cannot be read
    ExportFailed = 2, // the plan could not be written; nothing was left behind
};

// Standard output and standard error, one UTF-8 line per call.
class Console
{
public:
    void setQuiet(bool quiet) { m_quiet = quiet; }
    // Standard output, unless quiet.
    void print(const QString &line) const;
    // Standard error, always, after the program's name.
    void fail(const QString &message) const;

private:
    bool m_quiet = false;
};

// One command: its name, a line for the general help, its options, and what it
// does once its arguments parsed. A new option is one more entry in `options`
// and a look at the parser in `run`.
struct Command
{
    QString name;
    QString summary;
    QList<QCommandLineOption> options;
    std::function<int(const QCommandLineParser &, Console &)> run;
    // The option that draws pages (fonts, a paint engine), if any: only a run
    // that gives it gets a GUI application, on the offscreen platform.
    QString drawingOption;
    // The name of the arguments the command takes besides its options (as
    // "FILE"); empty when it takes none, and any is refused.
    QString arguments = QString();
};

// --config FILE, shared by the commands that read a class, and the path it
// names (else the window's config.ini).
QCommandLineOption configOption();
QString configPathOf(const QCommandLineParser &parser);

// The page drawing of this run, if the program part that runs it has one.
struct PageDrawing;
const PageDrawing *pageDrawing();

Command generateCommand();
Command checkCommand();
Command importCommand();

// For a class file that does not exist: one line on how to make a class,
// when the window's own config.ini is missing (a first run); else empty.
QString missingClassHint(const QCommandLineParser &parser);

} // namespace CommandLine
