// The natives of the system library, declared where the registration list
// can reach them; each area's file defines its own.
#pragma once

#include <cstdint>

namespace vellum {
class Interpreter;
}

namespace vellum::system {

// system/files
uint32_t FromFile(Interpreter& ip);
uint32_t ToFile(Interpreter& ip);
uint32_t LoadText(Interpreter& ip);

// system/time
uint32_t Time(Interpreter& ip);
uint32_t Date(Interpreter& ip);
uint32_t Now(Interpreter& ip);
uint32_t Today(Interpreter& ip);
uint32_t DateFormat(Interpreter& ip);
uint32_t TickCount(Interpreter& ip);

// system/paths
uint32_t FileName(Interpreter& ip);
uint32_t ScanDir(Interpreter& ip);
uint32_t ScanDirDeep(Interpreter& ip);
uint32_t GetAppDir(Interpreter& ip);
uint32_t GetDllDir(Interpreter& ip);
uint32_t IsMobileOS(Interpreter& ip);
uint32_t DocDir(Interpreter& ip);
uint32_t FileIcon(Interpreter& ip);
uint32_t CopyFilePC2Device(Interpreter& ip);
uint32_t CopyFileDevice2PC(Interpreter& ip);

// system/device
uint32_t Beep(Interpreter& ip);
uint32_t PlaySound(Interpreter& ip);
uint32_t Vibrate(Interpreter& ip);

// system/shell
uint32_t OpenFileBox(Interpreter& ip);
uint32_t SaveFileBox(Interpreter& ip);
uint32_t RunApp(Interpreter& ip);
uint32_t ShellExecute(Interpreter& ip);
uint32_t GetFileInfo(Interpreter& ip);
uint32_t IBrowserPath(Interpreter& ip);
uint32_t IBrowser(Interpreter& ip);
uint32_t SystemIdleTimerReset(Interpreter& ip);
uint32_t SetUserNotification(Interpreter& ip);
uint32_t ClearUserNotification(Interpreter& ip);
uint32_t InstalledApplications(Interpreter& ip);
uint32_t ResolveLink(Interpreter& ip);
uint32_t Call(Interpreter& ip);
uint32_t SendSMS(Interpreter& ip);

// system/network
uint32_t FTPUpload(Interpreter& ip);
uint32_t FTPDownload(Interpreter& ip);
uint32_t HTTPDownload(Interpreter& ip);

// system/crypto
uint32_t Encrypt(Interpreter& ip);
uint32_t Decrypt(Interpreter& ip);

} // namespace vellum::system
