#include "app/guipart.h"
#include "cli/commandline.h"

int main(int argc, char *argv[])
{
    // Commands, --help and --version need no display: they are told apart
    // before any GUI object exists, and run on Qt Core alone unless they
    // draw pages.
    const bool command = CommandLine::wanted(argc, argv);
    if (command && !CommandLine::drawsPages(argc, argv))
        return CommandLine::run(argc, argv);
    return runGuiPart(command ? GuiEntry::DrawingCommand : GuiEntry::Window, argc, argv);
}
