// A stand-in for the Task Scheduler: small COM objects implementing the
// published interfaces that the logon-task registration walks through. They
// record every value they are given, fail any chosen step with a chosen
// HRESULT, and count themselves so a test can see that all were released.
#pragma once

#include <taskschd.h>
#include <windows.h>

#include <atomic>
#include <map>
#include <optional>
#include <string>

namespace ostrel::settings::testing {

enum class TaskStep {
  CreateService,
  Connect,
  GetFolder,
  NewTask,
  GetTriggers,
  CreateTrigger,
  PutDelay,
  PutTriggerId,
  GetPrincipal,
  PutRunLevel,
  GetSettings,
  PutSetting,
  GetActions,
  CreateAction,
  QueryExecAction,
  PutPath,
  Register,
};

struct TaskRecord {
  // What to do.
  std::map<TaskStep, HRESULT> failures;
  bool offer_logon_trigger = true;

  // What was asked.
  int connect_calls = 0;
  VARTYPE connect_types[4] = {VT_ILLEGAL, VT_ILLEGAL, VT_ILLEGAL, VT_ILLEGAL};
  std::optional<std::wstring> folder_path;
  std::optional<DWORD> new_task_flags;
  const void* new_task = nullptr;  // identity only
  int triggers_created = 0;
  std::optional<TASK_TRIGGER_TYPE2> trigger_type;
  std::optional<std::wstring> trigger_delay;
  std::optional<std::wstring> trigger_id;
  std::optional<std::wstring> trigger_user;
  std::optional<TASK_RUNLEVEL_TYPE> run_level;
  std::optional<VARIANT_BOOL> stop_on_batteries;
  std::optional<VARIANT_BOOL> disallow_on_batteries;
  std::optional<VARIANT_BOOL> allow_demand_start;
  std::optional<VARIANT_BOOL> start_when_available;
  std::optional<TASK_INSTANCES_POLICY> multiple_instances;
  std::optional<std::wstring> execution_time_limit;
  int actions_created = 0;
  std::optional<TASK_ACTION_TYPE> action_type;
  std::optional<std::wstring> program_path;
  std::optional<std::wstring> program_arguments;
  std::optional<std::wstring> working_directory;
  int register_calls = 0;
  std::wstring register_path;
  bool registered_new_task = false;
  LONG register_flags = -1;
  VARTYPE register_user_type = VT_ILLEGAL;
  VARTYPE register_password_type = VT_ILLEGAL;
  TASK_LOGON_TYPE register_logon_type = TASK_LOGON_NONE;
  VARTYPE register_sddl_type = VT_ILLEGAL;
  std::optional<std::wstring> register_sddl;
  bool registered_task_requested = false;
};

// Objects of the stand-in alive right now.
extern std::atomic<int> g_live_task_objects;

// Hands out a new service object that records into `record`, or fails with
// the CreateService failure without creating one.
HRESULT CreateFakeTaskService(TaskRecord& record, ITaskService** service);

}  // namespace ostrel::settings::testing
