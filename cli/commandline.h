#pragma once

#include <QStringList>

#include <memory>

struct ClassModel;
class QCoreApplication;
enum class PlanView;

// Quorvane without its window: `quorvane generate ...`, `quorvane check ...`,
// `--help` and `--version`. Everything here runs under a QCoreApplication and
// needs no display; a run that draws a PDF gets the offscreen platform.
namespace CommandLine {

// True when the arguments ask for the command line: a command, help or the
// version. Anything else (no arguments, Qt's own options) is for the window.
// Decided from the raw arguments, before any application object exists.
bool wanted(int argc, char *argv[]);

// True when the command draws pages (a PDF): that needs Qt Gui, which only
// the part of the program given a PageDrawing links.
bool drawsPages(int argc, char *argv[]);

// What a run that draws pages takes from Qt Gui. Every other run loads Qt Core
// only, so the program part that links Qt Gui supplies it.
struct PageDrawing
{
    // A GUI application on the offscreen platform.
    std::unique_ptr<QCoreApplication> (*makeApplication)(int &argc, char *argv[]);
    // Writes the model's plan as a PDF; returns the problem, or an empty text.
    QString (*savePdf)(const QString &path, const ClassModel &model, PlanView view);
};

// Parses the arguments and runs the command; returns the exit code. A run
// that draws pages needs `drawing`.
int run(int argc, char *argv[], const PageDrawing *drawing = nullptr);

// Arguments left over after the window's application took Qt's own: says
// which one is not understood; returns the exit code.
int refuseWindowArguments(const QStringList &arguments);

} // namespace CommandLine
