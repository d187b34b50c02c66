#include "launcher/LauncherWindow.h"
#include "platform/launcher/GtkLauncherPlatformClass.h"
#include "platform/launcher/LauncherViewClass.h"

#include <gtk/gtk.h>

namespace {

constexpr int EXIT_NORMAL = 0;
// Start-up stopped early: no profile, another launcher running, no lock or no window.
constexpr int EXIT_STARTUP_STOPPED = 1;

}  // namespace

// The command line is ignored.
int main(int argc, char** argv)
{
    if (!gtk_init_check(&argc, &argv)) return EXIT_STARTUP_STOPPED;

    GtkLauncherPlatformClass platform;
    LauncherWindow launcher(platform);
    if (launcher.Start_Up() != S_OK_STATUS) return EXIT_STARTUP_STOPPED;

    LauncherViewClass view(platform, launcher);
    if (!view.Create()) return EXIT_STARTUP_STOPPED;
    gtk_main();
    return EXIT_NORMAL;
}
