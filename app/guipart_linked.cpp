// Where the whole program is one executable.
#include "app/guimain.h"
#include "app/guipart.h"

int runGuiPart(GuiEntry entry, int argc, char *argv[])
{
    return entry == GuiEntry::Window ? quorvane_window_main(argc, argv) : quorvane_drawing_command_main(argc, argv);
}
