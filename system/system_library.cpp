#include "system/system_library.h"

#include "engine/vm/class_binding.h"
#include "engine/vm/interpreter.h"
#include "system/natives.h"

namespace vellum::system {

void RegisterSystemLibrary(Interpreter& ip)
{
    // The order is the library's own: scripts that list the globals see it.
    static constexpr GlobalFunction kFunctions[] = {
        {u"FromFile", FromFile},
        {u"ToFile", ToFile},
        {u"Time", Time},
        {u"Date", Date},
        {u"Now", Now},
        {u"Today", Today},
        {u"DateFormat", DateFormat},
        {u"Beep", Beep},
        {u"PlaySound", PlaySound},
        {u"OpenFileBox", OpenFileBox},
        {u"SaveFileBox", SaveFileBox},
        {u"FileName", FileName},
        {u"RunApp", RunApp},
        {u"ShellExecute", ShellExecute},
        {u"GetFileInfo", GetFileInfo},
        {u"IBrowserPath", IBrowserPath},
        {u"IBrowser", IBrowser},
        {u"TickCount", TickCount},
        {u"FTPUpload", FTPUpload},
        {u"FTPDownload", FTPDownload},
        {u"HTTPDownload", HTTPDownload},
        {u"LoadText", LoadText},
        {u"ScanDir", ScanDir},
        {u"ScanDirDeep", ScanDirDeep},
        {u"Encrypt", Encrypt},
        {u"Decrypt", Decrypt},
        {u"GetAppDir", GetAppDir},
        {u"GetDllDir", GetDllDir},
        {u"IsMobileOS", IsMobileOS},
        {u"DocDir", DocDir},
        {u"SystemIdleTimerReset", SystemIdleTimerReset},
        {u"SetUserNotification", SetUserNotification},
        {u"ClearUserNotification", ClearUserNotification},
        {u"Vibrate", Vibrate},
        {u"InstalledApplications", InstalledApplications},
        {u"FileIcon", FileIcon},
        {u"ResolveLink", ResolveLink},
        {u"Call", Call},
        {u"SendSMS", SendSMS},
        {u"CopyFilePC2Device", CopyFilePC2Device},
        {u"CopyFileDevice2PC", CopyFileDevice2PC},
    };
    RegisterFunctions(ip, kFunctions);
}

} // namespace vellum::system
