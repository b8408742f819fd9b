// Stands in for another monitoring tool's "OpenHardwareMonitorServer.exe":
// it only waits. Ended by the program it exits with 0; left alone it gives up
// after a minute with 7, so a failed test leaves nothing behind.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  ::Sleep(60000);
  return 7;
}
