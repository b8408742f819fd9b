// A process that does what the program does after "update now?" is
// answered YES: a software check, then the install, with the real program
// start and process end. It returns 3 only when the install came back,
// that is when it started nothing and the program would keep running.
//
//   update_install_host <data folder>     (server from OSTREL_UPDATE_SERVER)
#include <windows.h>

#include <optional>
#include <string>

#include "common/win/text.h"
#include "update/update_service.h"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  ostrel::update::UpdateHost host;
  host.data_folder = ostrel::win::Widen(argv[1], CP_ACP) + L"\\";
  host.query_firmware = [] { return std::optional<std::uint16_t>(); };
  ostrel::update::UpdateService service(std::move(host));
  service.RunUpdateTask(ostrel::device::WorkerTask::CheckSoftwareNow);
  service.RunUpdateTask(ostrel::device::WorkerTask::InstallSoftware);
  return 3;
}
