#include "settings/startup_task.h"

#include <objbase.h>
#include <taskschd.h>
#include <wrl/client.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "common/swallowed_failure.h"
#include "common/win/bstr.h"
#include "common/win/com_init.h"
#include "common/win/module_path.h"
#include "settings/logon_trigger.h"
#include "settings/startup_program_path.h"
#include "settings/task_messages.h"

using Microsoft::WRL::ComPtr;

namespace ostrel::settings {

namespace {

constexpr wchar_t kTaskName[] = L"TEMP StartupTask";

void Report(const char* text, HRESULT hr) noexcept {
  try {
    const std::string line = TaskFailureLine(text, static_cast<std::uint32_t>(hr));
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
  } catch (...) {
    OSTREL_REPORT_CAUGHT();
  }
}

VARIANT EmptyVariant() noexcept {
  VARIANT v;
  ::VariantInit(&v);
  return v;
}

// Results are not looked at: a setting the service refuses keeps its default.
void ApplySettings(ITaskDefinition* task) noexcept {
  ComPtr<ITaskSettings> settings;
  if (FAILED(task->get_Settings(&settings)) || !settings) return;
  settings->put_StopIfGoingOnBatteries(VARIANT_FALSE);
  settings->put_DisallowStartIfOnBatteries(VARIANT_FALSE);
  settings->put_AllowDemandStart(VARIANT_TRUE);
  settings->put_StartWhenAvailable(VARIANT_FALSE);
  settings->put_MultipleInstances(TASK_INSTANCES_PARALLEL);
  const win::Bstr no_limit(L"PT0S");
  settings->put_ExecutionTimeLimit(no_limit.get());
}

// The result of a step that hands out an object: a success without the
// object counts as E_POINTER. The object is looked at only after the call.
template <typename T>
HRESULT Obtained(HRESULT hr, const ComPtr<T>& got) noexcept {
  return FAILED(hr) ? hr : (got ? S_OK : E_POINTER);
}

// The early return of each step: a failed step writes the line that names it
// and ends the registration.
#define RETURN_IF_STEP_FAILED(failure, expr) \
  do {                                       \
    const HRESULT step_hr_ = (expr);         \
    if (FAILED(step_hr_)) {                  \
      Report(failure, step_hr_);             \
      return 1;                              \
    }                                        \
  } while (false)

// Every object obtained here is released before the caller uninitialises COM.
int Register(const TaskServiceFactory& create_service) {
  ComPtr<ITaskService> service;
  RETURN_IF_STEP_FAILED("Failed to create Task Scheduler instance with HRESULT: 0x",
                        Obtained(create_service(&service), service));
  RETURN_IF_STEP_FAILED("Failed to connect to Task Scheduler service with HRESULT: 0x",
                        service->Connect(EmptyVariant(), EmptyVariant(), EmptyVariant(), EmptyVariant()));
  ComPtr<ITaskFolder> root;
  const win::Bstr root_path(L"\\");
  RETURN_IF_STEP_FAILED("Failed to get root folder with HRESULT: 0x",
                        Obtained(service->GetFolder(root_path.get(), &root), root));
  ComPtr<ITaskDefinition> task;
  RETURN_IF_STEP_FAILED("Failed to create new task with HRESULT: 0x",
                        Obtained(service->NewTask(0, &task), task));
  ComPtr<ITriggerCollection> triggers;
  RETURN_IF_STEP_FAILED("Failed to get trigger collection with HRESULT: 0x",
                        Obtained(task->get_Triggers(&triggers), triggers));
  ComPtr<ITrigger> trigger;
  RETURN_IF_STEP_FAILED("Failed to create trigger with HRESULT: 0x",
                        Obtained(triggers->Create(TASK_TRIGGER_LOGON, &trigger), trigger));
  // The delay is a wish: a trigger without it still starts the program.
  ComPtr<ILogonTrigger> logon;
  if (SUCCEEDED(trigger.As(&logon)) && logon) {
    const win::Bstr delay(L"PT5S");
    logon->put_Delay(delay.get());
  }
  const win::Bstr trigger_id(L"Administrator");
  RETURN_IF_STEP_FAILED("Failed to set trigger ID with HRESULT: 0x", trigger->put_Id(trigger_id.get()));
  ComPtr<IPrincipal> principal;
  RETURN_IF_STEP_FAILED("Failed to get principal with HRESULT: 0x",
                        Obtained(task->get_Principal(&principal), principal));
  RETURN_IF_STEP_FAILED("Failed to set run level with HRESULT: 0x",
                        principal->put_RunLevel(TASK_RUNLEVEL_HIGHEST));
  ApplySettings(task.Get());
  ComPtr<IActionCollection> actions;
  RETURN_IF_STEP_FAILED("Failed to get action collection with HRESULT: 0x",
                        Obtained(task->get_Actions(&actions), actions));
  ComPtr<IAction> action;
  RETURN_IF_STEP_FAILED("Failed to create action with HRESULT: 0x",
                        Obtained(actions->Create(TASK_ACTION_EXEC, &action), action));
  ComPtr<IExecAction> exec;
  RETURN_IF_STEP_FAILED("Failed to query exec action interface with HRESULT: 0x",
                        Obtained(action.As(&exec), exec));
  const win::Bstr program(StartupProgramPath(win::ModulePath(nullptr)).c_str());
  RETURN_IF_STEP_FAILED("Failed to set executable path with HRESULT: 0x", exec->put_Path(program.get()));

  VARIANT sddl;
  ::VariantInit(&sddl);
  const win::Bstr empty(L"");
  sddl.vt = VT_BSTR;
  sddl.bstrVal = empty.get();
  const win::Bstr name(kTaskName);
  const HRESULT hr =
      root->RegisterTaskDefinition(name.get(), task.Get(), TASK_CREATE_OR_UPDATE, EmptyVariant(),
                                   EmptyVariant(), TASK_LOGON_INTERACTIVE_TOKEN, sddl, nullptr);
  if (FAILED(hr)) Report("Failed to register task definition with HRESULT: 0x", hr);
  return 0;
}

}  // namespace

int RegisterStartupTask(const TaskServiceFactory& create_service) noexcept {
  // Given back after Register, whose COM pointers are gone by then.
  const win::ScopedCoInitialize com;
  if (FAILED(com.Result())) {
    Report("CoInitialize failed with HRESULT: 0x", com.Result());
    return 1;
  }
  try {
    return Register(create_service);
  } catch (...) {
    OSTREL_REPORT_CAUGHT();
    return 1;
  }
}

int RegisterStartupTask() noexcept {
  return RegisterStartupTask([](ITaskService** service) {
    return ::CoCreateInstance(CLSID_TaskScheduler, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskService,
                              reinterpret_cast<void**>(service));
  });
}

}  // namespace ostrel::settings
