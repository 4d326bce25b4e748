#include "ProgramEnd.h"

#include "SettingsFile.h"
#include "forms/App.h"
#include "region/WindowUtilities.h"

namespace {

bool ending = false;

} // namespace

void ProgramEnd::run()
{
    if (ending) {
        return;
    }
    ending = true;
    {
        // Everything the windows store as they unload is one write.
        const SettingsFile::Batch batch;
        // No window has an empty name: every window unloads, in load order.
        UnloadOtherWindows(QString());
        SettingsFile::Batch::flush();
    }
    // Reached again only where the end is recorded instead (tests).
    ending = false;
    App::EndNow(0);
}

bool ProgramEnd::running()
{
    return ending;
}
