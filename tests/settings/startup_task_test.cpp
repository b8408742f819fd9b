#include "settings/startup_task.h"

#include <gtest/gtest.h>
#include <objbase.h>
#include <windows.h>

#include <string>
#include <thread>

#include "tests/settings/fake_task_service.h"
#include "tests/settings/stderr_capture.h"

namespace ostrel::settings {
namespace {

using testing::CreateFakeTaskService;
using testing::g_live_task_objects;
using testing::StderrCapture;
using testing::TaskRecord;
using testing::TaskStep;

struct Outcome {
  int result = -1;
  std::string errors;
  // CoInitialize on the same thread afterwards: S_OK means the registration
  // left COM as it found it (uninitialised).
  HRESULT com_after = E_FAIL;
};

// Each run gets a thread of its own, so COM starts uninitialised.
Outcome Register(TaskRecord& record) {
  Outcome outcome;
  std::thread([&] {
    StderrCapture capture;
    outcome.result =
        RegisterStartupTask([&](ITaskService** service) { return CreateFakeTaskService(record, service); });
    outcome.errors = capture.Finish();
    outcome.com_after = ::CoInitialize(nullptr);
    if (SUCCEEDED(outcome.com_after)) ::CoUninitialize();
  }).join();
  return outcome;
}

std::wstring ExpectedProgramPath() {
  wchar_t module[4096] = {};
  ::GetModuleFileNameW(nullptr, module, 4096);
  std::wstring path(module);
  return path.substr(0, path.rfind(L'\\') + 1) + L"Ostrel.exe";
}

TEST(StartupTask, RegistersTheWholeDefinition) {
  TaskRecord record;
  const Outcome outcome = Register(record);

  EXPECT_EQ(outcome.result, 0);
  EXPECT_EQ(outcome.errors, "");
  EXPECT_EQ(outcome.com_after, S_OK);
  EXPECT_EQ(g_live_task_objects.load(), 0);

  EXPECT_EQ(record.connect_calls, 1);
  for (VARTYPE type : record.connect_types) EXPECT_EQ(type, VT_EMPTY);
  EXPECT_EQ(record.folder_path, L"\\");
  EXPECT_EQ(record.new_task_flags, 0u);

  EXPECT_EQ(record.triggers_created, 1);
  EXPECT_EQ(record.trigger_type, TASK_TRIGGER_LOGON);
  EXPECT_EQ(record.trigger_delay, L"PT5S");
  EXPECT_EQ(record.trigger_id, L"Administrator");
  EXPECT_FALSE(record.trigger_user.has_value()) << "any user's logon starts the task";
  EXPECT_EQ(record.run_level, TASK_RUNLEVEL_HIGHEST);

  EXPECT_EQ(record.stop_on_batteries, VARIANT_FALSE);
  EXPECT_EQ(record.disallow_on_batteries, VARIANT_FALSE);
  EXPECT_EQ(record.allow_demand_start, VARIANT_TRUE);
  EXPECT_EQ(record.start_when_available, VARIANT_FALSE);
  EXPECT_EQ(record.multiple_instances, TASK_INSTANCES_PARALLEL);
  EXPECT_EQ(record.execution_time_limit, L"PT0S");

  EXPECT_EQ(record.actions_created, 1);
  EXPECT_EQ(record.action_type, TASK_ACTION_EXEC);
  EXPECT_EQ(record.program_path, ExpectedProgramPath());
  EXPECT_FALSE(record.program_arguments.has_value());
  EXPECT_FALSE(record.working_directory.has_value());

  EXPECT_EQ(record.register_calls, 1);
  EXPECT_EQ(record.register_path, L"TEMP StartupTask");
  EXPECT_TRUE(record.registered_new_task);
  EXPECT_EQ(record.register_flags, TASK_CREATE_OR_UPDATE);
  EXPECT_EQ(record.register_user_type, VT_EMPTY);
  EXPECT_EQ(record.register_password_type, VT_EMPTY);
  EXPECT_EQ(record.register_logon_type, TASK_LOGON_INTERACTIVE_TOKEN);
  EXPECT_EQ(record.register_sddl_type, VT_BSTR);
  EXPECT_EQ(record.register_sddl, L"");
  EXPECT_FALSE(record.registered_task_requested);
}

struct FailingStep {
  const char* name;
  TaskStep step;
  HRESULT hr;
  const char* line;
  int result;
  bool reaches_registration;
};

void PrintTo(const FailingStep& step, std::ostream* out) { *out << step.name; }

class StartupTaskFailure : public ::testing::TestWithParam<FailingStep> {};

TEST_P(StartupTaskFailure, WritesItsLineAndStops) {
  const FailingStep& c = GetParam();
  TaskRecord record;
  record.failures[c.step] = c.hr;
  const Outcome outcome = Register(record);

  EXPECT_EQ(outcome.errors, c.line);
  EXPECT_EQ(outcome.result, c.result);
  EXPECT_EQ(record.register_calls, c.reaches_registration ? 1 : 0);
  EXPECT_EQ(g_live_task_objects.load(), 0) << "every object obtained is released";
  EXPECT_EQ(outcome.com_after, S_OK) << "CoInitialize is balanced";
}

INSTANTIATE_TEST_SUITE_P(
    EveryReportedStep, StartupTaskFailure,
    ::testing::Values(
        FailingStep{"CreateService", TaskStep::CreateService, REGDB_E_CLASSNOTREG,
                    "Failed to create Task Scheduler instance with HRESULT: 0x80040154\n", 1, false},
        FailingStep{"Connect", TaskStep::Connect, HRESULT_FROM_WIN32(ERROR_SERVICE_NOT_ACTIVE),
                    "Failed to connect to Task Scheduler service with HRESULT: 0x80070426\n", 1, false},
        FailingStep{"GetFolder", TaskStep::GetFolder, HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND),
                    "Failed to get root folder with HRESULT: 0x80070002\n", 1, false},
        FailingStep{"NewTask", TaskStep::NewTask, E_OUTOFMEMORY,
                    "Failed to create new task with HRESULT: 0x8007000e\n", 1, false},
        FailingStep{"GetTriggers", TaskStep::GetTriggers, E_FAIL,
                    "Failed to get trigger collection with HRESULT: 0x80004005\n", 1, false},
        FailingStep{"CreateTrigger", TaskStep::CreateTrigger, E_NOTIMPL,
                    "Failed to create trigger with HRESULT: 0x80004001\n", 1, false},
        FailingStep{"PutTriggerId", TaskStep::PutTriggerId, E_INVALIDARG,
                    "Failed to set trigger ID with HRESULT: 0x80070057\n", 1, false},
        FailingStep{"GetPrincipal", TaskStep::GetPrincipal, E_POINTER,
                    "Failed to get principal with HRESULT: 0x80004003\n", 1, false},
        FailingStep{"PutRunLevel", TaskStep::PutRunLevel, E_NOTIMPL,
                    "Failed to set run level with HRESULT: 0x80004001\n", 1, false},
        FailingStep{"GetActions", TaskStep::GetActions, E_UNEXPECTED,
                    "Failed to get action collection with HRESULT: 0x8000ffff\n", 1, false},
        FailingStep{"CreateAction", TaskStep::CreateAction, E_ABORT,
                    "Failed to create action with HRESULT: 0x80004004\n", 1, false},
        FailingStep{"QueryExecAction", TaskStep::QueryExecAction, E_NOINTERFACE,
                    "Failed to query exec action interface with HRESULT: 0x80004002\n", 1, false},
        FailingStep{"PutPath", TaskStep::PutPath, E_INVALIDARG,
                    "Failed to set executable path with HRESULT: 0x80070057\n", 1, false},
        // Without administrator rights the highest run level is refused at
        // registration, the last step: it still counts as reached.
        FailingStep{"RegisterAccessDenied", TaskStep::Register, E_ACCESSDENIED,
                    "Failed to register task definition with HRESULT: 0x80070005\n", 0, true},
        FailingStep{"RegisterLogonFailure", TaskStep::Register, HRESULT_FROM_WIN32(ERROR_LOGON_FAILURE),
                    "Failed to register task definition with HRESULT: 0x8007052e\n", 0, true}),
    [](const ::testing::TestParamInfo<FailingStep>& p) { return std::string(p.param.name); });

struct QuietStep {
  const char* name;
  TaskStep step;
  HRESULT hr;
};

void PrintTo(const QuietStep& step, std::ostream* out) { *out << step.name; }

class StartupTaskQuietFailure : public ::testing::TestWithParam<QuietStep> {};

TEST_P(StartupTaskQuietFailure, GoesOnToRegister) {
  TaskRecord record;
  record.failures[GetParam().step] = GetParam().hr;
  const Outcome outcome = Register(record);

  EXPECT_EQ(outcome.errors, "");
  EXPECT_EQ(outcome.result, 0);
  EXPECT_EQ(record.register_calls, 1);
  EXPECT_EQ(record.program_path, ExpectedProgramPath());
  EXPECT_EQ(g_live_task_objects.load(), 0);
  EXPECT_EQ(outcome.com_after, S_OK);
}

INSTANTIATE_TEST_SUITE_P(UnreportedSteps, StartupTaskQuietFailure,
                         ::testing::Values(QuietStep{"PutDelay", TaskStep::PutDelay, E_INVALIDARG},
                                           QuietStep{"GetSettings", TaskStep::GetSettings, E_FAIL},
                                           QuietStep{"PutSetting", TaskStep::PutSetting, E_NOTIMPL}),
                         [](const ::testing::TestParamInfo<QuietStep>& p) {
                           return std::string(p.param.name);
                         });

TEST(StartupTask, TriggerWithoutLogonInterfaceSkipsTheDelay) {
  TaskRecord record;
  record.offer_logon_trigger = false;
  const Outcome outcome = Register(record);

  EXPECT_EQ(outcome.result, 0);
  EXPECT_EQ(outcome.errors, "");
  EXPECT_FALSE(record.trigger_delay.has_value());
  EXPECT_EQ(record.trigger_id, L"Administrator");
  EXPECT_EQ(record.register_calls, 1);
  EXPECT_EQ(g_live_task_objects.load(), 0);
}

TEST(StartupTask, SettingsThatCannotBeObtainedAreLeftAlone) {
  TaskRecord record;
  record.failures[TaskStep::GetSettings] = E_FAIL;
  Register(record);
  EXPECT_FALSE(record.allow_demand_start.has_value());
  EXPECT_FALSE(record.execution_time_limit.has_value());
  EXPECT_EQ(record.register_calls, 1);
}

TEST(StartupTask, FailedCoInitializeIsReportedAndNotUndone) {
  TaskRecord record;
  int result = -1;
  std::string errors;
  HRESULT com_after = E_FAIL;
  bool factory_called = false;
  std::thread([&] {
    // A thread already in the multithreaded apartment refuses the
    // apartment-threaded CoInitialize.
    ASSERT_EQ(::CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
    StderrCapture capture;
    result = RegisterStartupTask([&](ITaskService** service) {
      factory_called = true;
      return CreateFakeTaskService(record, service);
    });
    errors = capture.Finish();
    com_after = ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    if (SUCCEEDED(com_after)) ::CoUninitialize();
    ::CoUninitialize();
  }).join();

  EXPECT_EQ(result, 1);
  EXPECT_EQ(errors, "CoInitialize failed with HRESULT: 0x80010106\n");
  EXPECT_FALSE(factory_called);
  EXPECT_EQ(com_after, S_FALSE) << "the caller's own initialisation is still in place";
}

TEST(StartupTask, LeavesTheCallersApartmentInPlace) {
  TaskRecord record;
  int result = -1;
  HRESULT com_after = E_FAIL;
  std::thread([&] {
    ASSERT_EQ(::CoInitialize(nullptr), S_OK);
    result =
        RegisterStartupTask([&](ITaskService** service) { return CreateFakeTaskService(record, service); });
    com_after = ::CoInitialize(nullptr);
    if (SUCCEEDED(com_after)) ::CoUninitialize();
    ::CoUninitialize();
  }).join();

  EXPECT_EQ(result, 0);
  EXPECT_EQ(com_after, S_FALSE);
}

// Wine 8's Task Scheduler answers E_NOTIMPL to a logon trigger, so the real
// service stops at the trigger step; on Windows this call would register
// the task.
TEST(StartupTaskOnWine, RealServiceStopsAtTheLogonTrigger) {
  int result = -1;
  std::string errors;
  HRESULT com_after = E_FAIL;
  std::thread([&] {
    StderrCapture capture;
    result = RegisterStartupTask();
    errors = capture.Finish();
    com_after = ::CoInitialize(nullptr);
    if (SUCCEEDED(com_after)) ::CoUninitialize();
  }).join();

  EXPECT_EQ(errors, "Failed to create trigger with HRESULT: 0x80004001\n");
  EXPECT_EQ(result, 1);
  EXPECT_EQ(com_after, S_OK);
}

}  // namespace
}  // namespace ostrel::settings
