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
    ::ostrel::ReportSwallowed("settings/startup_task.cpp Report");
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

// Every object obtained here is released before the caller uninitialises COM.
int Register(const TaskServiceFactory& create_service) {
  ComPtr<ITaskService> service;
  HRESULT hr = create_service(&service);
  if (FAILED(hr) || !service) {
    Report("Failed to create Task Scheduler instance with HRESULT: 0x", FAILED(hr) ? hr : E_POINTER);
    return 1;
  }
  hr = service->Connect(EmptyVariant(), EmptyVariant(), EmptyVariant(), EmptyVariant());
  if (FAILED(hr)) {
    Report("Failed to connect to Task Scheduler service with HRESULT: 0x", hr);
    return 1;
  }
  ComPtr<ITaskFolder> root;
  const win::Bstr root_path(L"\\");
  hr = service->GetFolder(root_path.get(), &root);
  if (FAILED(hr) || !root) {
    Report("Failed to get root folder with HRESULT: 0x", FAILED(hr) ? hr : E_POINTER);
    return 1;
  }
  ComPtr<ITaskDefinition> task;
  hr = service->NewTask(0, &task);
  if (FAILED(hr) || !task) {
    Report("Failed to create new task with HRESULT: 0x", FAILED(hr) ? hr : E_POINTER);
    return 1;
  }

  ComPtr<ITriggerCollection> triggers;
  hr = task->get_Triggers(&triggers);
  if (FAILED(hr) || !triggers) {
    Report("Failed to get trigger collection with HRESULT: 0x", FAILED(hr) ? hr : E_POINTER);
    return 1;
  }
  ComPtr<ITrigger> trigger;
  hr = triggers->Create(TASK_TRIGGER_LOGON, &trigger);
  if (FAILED(hr) || !trigger) {
    Report("Failed to create trigger with HRESULT: 0x", FAILED(hr) ? hr : E_POINTER);
    return 1;
  }
  ComPtr<ILogonTrigger> logon;
  if (SUCCEEDED(trigger.As(&logon)) && logon) {
    const win::Bstr delay(L"PT5S");
    logon->put_Delay(delay.get());
  }
  const win::Bstr trigger_id(L"Administrator");
  hr = trigger->put_Id(trigger_id.get());
  if (FAILED(hr)) {
    Report("Failed to set trigger ID with HRESULT: 0x", hr);
    return 1;
  }

  ComPtr<IPrincipal> principal;
  hr = task->get_Principal(&principal);
  if (FAILED(hr) || !principal) {
    Report("Failed to get principal with HRESULT: 0x", FAILED(hr) ? hr : E_POINTER);
    return 1;
  }
  hr = principal->put_RunLevel(TASK_RUNLEVEL_HIGHEST);
  if (FAILED(hr)) {
    Report("Failed to set run level with HRESULT: 0x", hr);
    return 1;
  }

  ApplySettings(task.Get());

  ComPtr<IActionCollection> actions;
  hr = task->get_Actions(&actions);
  if (FAILED(hr) || !actions) {
    Report("Failed to get action collection with HRESULT: 0x", FAILED(hr) ? hr : E_POINTER);
    return 1;
  }
  ComPtr<IAction> action;
  hr = actions->Create(TASK_ACTION_EXEC, &action);
  if (FAILED(hr) || !action) {
    Report("Failed to create action with HRESULT: 0x", FAILED(hr) ? hr : E_POINTER);
    return 1;
  }
  ComPtr<IExecAction> exec;
  hr = action.As(&exec);
  if (FAILED(hr) || !exec) {
    Report("Failed to query exec action interface with HRESULT: 0x", FAILED(hr) ? hr : E_POINTER);
    return 1;
  }
  const win::Bstr program(StartupProgramPath(win::ModulePath(nullptr)).c_str());
  hr = exec->put_Path(program.get());
  if (FAILED(hr)) {
    Report("Failed to set executable path with HRESULT: 0x", hr);
    return 1;
  }

  VARIANT sddl;
  ::VariantInit(&sddl);
  const win::Bstr empty(L"");
  sddl.vt = VT_BSTR;
  sddl.bstrVal = empty.get();
  const win::Bstr name(kTaskName);
  hr = root->RegisterTaskDefinition(name.get(), task.Get(), TASK_CREATE_OR_UPDATE, EmptyVariant(),
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
    ::ostrel::ReportSwallowed("settings/startup_task.cpp RegisterStartupTask");
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
