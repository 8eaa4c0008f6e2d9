#include "host/register_libraries.h"

#include "gui/gui_library.h"
#include "host/core_interpreter.h"
#include "host/corelib/core_library.h"
#include "media/audio/audio_library.h"
#include "media/image/bitmap_library.h"
#include "media/recorder/recorder_method.h"
#include "system/system_library.h"

namespace vellum {

void RegisterLibraries(Interpreter& ip)
{
    // The order is fixed: the system library, the GUI framework with the
    // voice recorder its forms open, the host functions, AddIcoToExe with the file and audio classes, the bitmaps.
    system::RegisterSystemLibrary(ip);
    gui::RegisterGuiLibrary(ip);
    media::RegisterRecorderMethod(ip);
    RegisterHostFunctions(ip);
    RegisterAddIcoToExe(ip);
    system::RegisterFileClasses(ip);
    media::RegisterAudioClasses(ip);
    media::RegisterBitmapClasses(ip);
}

std::unique_ptr<Interpreter> NewInterpreter(const PathResolver& paths, ErrorReporter* reporter)
{
    auto ip = NewCoreInterpreter(paths, reporter);
    RegisterLibraries(*ip);
    return ip;
}

} // namespace vellum
