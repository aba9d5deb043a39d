#pragma once

#include <QStringList>

// Quorvane without its window: `quorvane generate ...`, `quorvane check ...`,
// `--help` and `--version`. Everything here runs under a QCoreApplication and
// needs no display; a run that draws a PDF gets the offscreen platform.
namespace CommandLine {

// True when the arguments ask for the command line: a command, help or the
// version. Anything else (no arguments, Qt's own options) is for the window.
// Decided from the raw arguments, before any application object exists.
bool wanted(int argc, char *argv[]);

// Parses the arguments and runs the command; returns the exit code.
int run(int argc, char *argv[]);

// Arguments left over after the window's application took Qt's own: says
// which one is not understood; returns the exit code.
int refuseWindowArguments(const QStringList &arguments);

} // namespace CommandLine
