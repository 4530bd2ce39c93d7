// kelvo in a browser page: the window on the web front end. The bundled tables are at
// /kelvo (packed with the site), the designer's own files and settings in /user, which the
// page keeps in the browser's storage.

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>

#include "app/figure_app.h"
#include "platform/web/web_window.h"

int main() {
    // The machine's setting names the bundled tables; the user's own choice, kept in /user,
    // comes before it as on the desktop.
    ::mkdir("/kelvo-etc", 0755);
    ::mkdir("/kelvo-etc/kelvo", 0755);
    if (std::FILE* ini = std::fopen("/kelvo-etc/kelvo/registry.ini", "wb")) {
        std::fputs("[HKEY_LOCAL_MACHINE]\nSOFTWARE\\Brenk\\path=/kelvo\n", ini);
        std::fclose(ini);
    }
    ::setenv("XDG_CONFIG_DIRS", "/kelvo-etc", 1);
    ::setenv("XDG_CONFIG_HOME", "/user/config", 1);
    ::setenv("XDG_DATA_HOME", "/user/data", 1);
    ::setenv("HOME", "/user", 1);
    kelvo::platform::web::WebFrontEnd frontEnd("/kelvo");
    kelvo::app::FigureApp().InitInstance(frontEnd, "");
    return 0;
}
