#pragma once

// Which part of the program runs: the executable itself holds the command line
// on Qt Core; the window and drawing pages need Qt Gui and Widgets, which a
// command that needs neither should not pay for loading.
enum class GuiEntry { Window, DrawingCommand };

// Runs the entry in the part that needs Qt Gui; returns the exit code. Where
// that part is a library of its own and it cannot be loaded, says so in one
// line on standard error and returns 1.
int runGuiPart(GuiEntry entry, int argc, char *argv[]);
