// The logon task "TEMP StartupTask": runs Ostrel.exe from this program's
// folder with the highest privileges 5 seconds after any user logs on.
// Registered afresh at every start; a failure is written to the error stream
// and otherwise ignored.
#pragma once

#include <windows.h>

#include <functional>

struct ITaskService;

namespace ostrel::settings {

// Returns 0 when the registration call was reached (whether or not it
// succeeded) and 1 when an earlier step failed.
int RegisterStartupTask() noexcept;

// The same with another source of the Task Scheduler service object than
// CoCreateInstance; called after COM is initialised on this thread.
using TaskServiceFactory = std::function<HRESULT(ITaskService** service)>;
int RegisterStartupTask(const TaskServiceFactory& create_service) noexcept;

}  // namespace ostrel::settings
