#pragma once

// The entry points of the part of the program that needs Qt Gui and Widgets.
// Where that part is a library of its own they are its only exported symbols,
// found by name when it is loaded.
#if defined(__GNUC__)
#define QUORVANE_GUI_ENTRY extern "C" __attribute__((visibility("default")))
#else
#define QUORVANE_GUI_ENTRY extern "C"
#endif

// The window: a QApplication, the main window, the event loop.
QUORVANE_GUI_ENTRY int quorvane_window_main(int argc, char *argv[]);
// A command that draws pages (generate --pdf).
QUORVANE_GUI_ENTRY int quorvane_drawing_command_main(int argc, char *argv[]);
