#include "tests/settings/fake_task_service.h"

#include <oleauto.h>
#include <wrl/client.h>

#include "settings/logon_trigger.h"

using Microsoft::WRL::ComPtr;

// The objects delete themselves in Release; no one deletes them through an
// interface pointer, which has no virtual destructor.
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"

// Methods of the published interfaces that the registration never calls.
#define NOT_USED(name, ...) \
  HRESULT STDMETHODCALLTYPE name(__VA_ARGS__) override { return E_NOTIMPL; }

namespace ostrel::settings::testing {

std::atomic<int> g_live_task_objects{0};

namespace {

std::wstring Text(BSTR text) { return text ? std::wstring(text, ::SysStringLen(text)) : std::wstring(); }

template <typename Interface>
class FakeObject : public Interface {
 public:
  explicit FakeObject(TaskRecord& record) : record_(record) { ++g_live_task_objects; }
  FakeObject(const FakeObject&) = delete;
  FakeObject& operator=(const FakeObject&) = delete;
  virtual ~FakeObject() { --g_live_task_objects; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == __uuidof(Interface) || Offers(iid)) {
      *out = static_cast<Interface*>(this);
      this->AddRef();
      return S_OK;
    }
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }
  NOT_USED(GetTypeInfoCount, UINT*)
  NOT_USED(GetTypeInfo, UINT, LCID, ITypeInfo**)
  NOT_USED(GetIDsOfNames, REFIID, LPOLESTR*, UINT, LCID, DISPID*)
  NOT_USED(Invoke, DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*)

 protected:
  // Base interfaces of Interface beyond IDispatch.
  virtual bool Offers(REFIID) { return false; }
  HRESULT Step(TaskStep step) const {
    const auto it = record_.failures.find(step);
    return it == record_.failures.end() ? S_OK : it->second;
  }
  template <typename T, typename... Args>
  HRESULT Hand(T** out, Args&&... args) {
    if (!out) return E_POINTER;
    *out = new T(record_, args...);
    (*out)->AddRef();
    return S_OK;
  }

  TaskRecord& record_;

 private:
  std::atomic<ULONG> references_{0};
};

class FakeLogonTrigger : public FakeObject<ILogonTrigger> {
 public:
  using FakeObject::FakeObject;
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (iid == __uuidof(ILogonTrigger) && !record_.offer_logon_trigger) {
      if (out) *out = nullptr;
      return E_NOINTERFACE;
    }
    return FakeObject::QueryInterface(iid, out);
  }
  NOT_USED(get_Type, TASK_TRIGGER_TYPE2*)
  NOT_USED(get_Id, BSTR*)
  HRESULT STDMETHODCALLTYPE put_Id(BSTR id) override {
    record_.trigger_id = Text(id);
    return Step(TaskStep::PutTriggerId);
  }
  NOT_USED(get_Repetition, IRepetitionPattern**)
  NOT_USED(put_Repetition, IRepetitionPattern*)
  NOT_USED(get_ExecutionTimeLimit, BSTR*)
  NOT_USED(put_ExecutionTimeLimit, BSTR)
  NOT_USED(get_StartBoundary, BSTR*)
  NOT_USED(put_StartBoundary, BSTR)
  NOT_USED(get_EndBoundary, BSTR*)
  NOT_USED(put_EndBoundary, BSTR)
  NOT_USED(get_Enabled, VARIANT_BOOL*)
  NOT_USED(put_Enabled, VARIANT_BOOL)
  NOT_USED(get_Delay, BSTR*)
  HRESULT STDMETHODCALLTYPE put_Delay(BSTR delay) override {
    record_.trigger_delay = Text(delay);
    return Step(TaskStep::PutDelay);
  }
  NOT_USED(get_UserId, BSTR*)
  HRESULT STDMETHODCALLTYPE put_UserId(BSTR user) override {
    record_.trigger_user = Text(user);
    return S_OK;
  }

 protected:
  bool Offers(REFIID iid) override { return iid == __uuidof(ITrigger); }
};

class FakeTriggers : public FakeObject<ITriggerCollection> {
 public:
  using FakeObject::FakeObject;
  NOT_USED(get_Count, LONG*)
  NOT_USED(get_Item, LONG, ITrigger**)
  NOT_USED(get__NewEnum, IUnknown**)
  HRESULT STDMETHODCALLTYPE Create(TASK_TRIGGER_TYPE2 type, ITrigger** trigger) override {
    record_.trigger_type = type;
    if (const HRESULT hr = Step(TaskStep::CreateTrigger); FAILED(hr)) return hr;
    ++record_.triggers_created;
    FakeLogonTrigger* made = nullptr;
    const HRESULT hr = Hand(&made);
    if (trigger) *trigger = made;
    return hr;
  }
  NOT_USED(Remove, VARIANT)
  NOT_USED(Clear)
};

class FakePrincipal : public FakeObject<IPrincipal> {
 public:
  using FakeObject::FakeObject;
  NOT_USED(get_Id, BSTR*)
  NOT_USED(put_Id, BSTR)
  NOT_USED(get_DisplayName, BSTR*)
  NOT_USED(put_DisplayName, BSTR)
  NOT_USED(get_UserId, BSTR*)
  NOT_USED(put_UserId, BSTR)
  NOT_USED(get_LogonType, TASK_LOGON_TYPE*)
  NOT_USED(put_LogonType, TASK_LOGON_TYPE)
  NOT_USED(get_GroupId, BSTR*)
  NOT_USED(put_GroupId, BSTR)
  NOT_USED(get_RunLevel, TASK_RUNLEVEL_TYPE*)
  HRESULT STDMETHODCALLTYPE put_RunLevel(TASK_RUNLEVEL_TYPE level) override {
    record_.run_level = level;
    return Step(TaskStep::PutRunLevel);
  }
};

class FakeSettings : public FakeObject<ITaskSettings> {
 public:
  using FakeObject::FakeObject;
  NOT_USED(get_AllowDemandStart, VARIANT_BOOL*)
  HRESULT STDMETHODCALLTYPE put_AllowDemandStart(VARIANT_BOOL allow) override {
    record_.allow_demand_start = allow;
    return Step(TaskStep::PutSetting);
  }
  NOT_USED(get_RestartInterval, BSTR*)
  NOT_USED(put_RestartInterval, BSTR)
  NOT_USED(get_RestartCount, INT*)
  NOT_USED(put_RestartCount, INT)
  NOT_USED(get_MultipleInstances, TASK_INSTANCES_POLICY*)
  HRESULT STDMETHODCALLTYPE put_MultipleInstances(TASK_INSTANCES_POLICY policy) override {
    record_.multiple_instances = policy;
    return Step(TaskStep::PutSetting);
  }
  NOT_USED(get_StopIfGoingOnBatteries, VARIANT_BOOL*)
  HRESULT STDMETHODCALLTYPE put_StopIfGoingOnBatteries(VARIANT_BOOL stop) override {
    record_.stop_on_batteries = stop;
    return Step(TaskStep::PutSetting);
  }
  NOT_USED(get_DisallowStartIfOnBatteries, VARIANT_BOOL*)
  HRESULT STDMETHODCALLTYPE put_DisallowStartIfOnBatteries(VARIANT_BOOL disallow) override {
    record_.disallow_on_batteries = disallow;
    return Step(TaskStep::PutSetting);
  }
  NOT_USED(get_AllowHardTerminate, VARIANT_BOOL*)
  NOT_USED(put_AllowHardTerminate, VARIANT_BOOL)
  NOT_USED(get_StartWhenAvailable, VARIANT_BOOL*)
  HRESULT STDMETHODCALLTYPE put_StartWhenAvailable(VARIANT_BOOL start) override {
    record_.start_when_available = start;
    return Step(TaskStep::PutSetting);
  }
  NOT_USED(get_XmlText, BSTR*)
  NOT_USED(put_XmlText, BSTR)
  NOT_USED(get_RunOnlyIfNetworkAvailable, VARIANT_BOOL*)
  NOT_USED(put_RunOnlyIfNetworkAvailable, VARIANT_BOOL)
  NOT_USED(get_ExecutionTimeLimit, BSTR*)
  HRESULT STDMETHODCALLTYPE put_ExecutionTimeLimit(BSTR limit) override {
    record_.execution_time_limit = Text(limit);
    return Step(TaskStep::PutSetting);
  }
  NOT_USED(get_Enabled, VARIANT_BOOL*)
  NOT_USED(put_Enabled, VARIANT_BOOL)
  NOT_USED(get_DeleteExpiredTaskAfter, BSTR*)
  NOT_USED(put_DeleteExpiredTaskAfter, BSTR)
  NOT_USED(get_Priority, INT*)
  NOT_USED(put_Priority, INT)
  NOT_USED(get_Compatibility, TASK_COMPATIBILITY*)
  NOT_USED(put_Compatibility, TASK_COMPATIBILITY)
  NOT_USED(get_Hidden, VARIANT_BOOL*)
  NOT_USED(put_Hidden, VARIANT_BOOL)
  NOT_USED(get_IdleSettings, IIdleSettings**)
  NOT_USED(put_IdleSettings, IIdleSettings*)
  NOT_USED(get_RunOnlyIfIdle, VARIANT_BOOL*)
  NOT_USED(put_RunOnlyIfIdle, VARIANT_BOOL)
  NOT_USED(get_WakeToRun, VARIANT_BOOL*)
  NOT_USED(put_WakeToRun, VARIANT_BOOL)
  NOT_USED(get_NetworkSettings, INetworkSettings**)
  NOT_USED(put_NetworkSettings, INetworkSettings*)
};

class FakeExecAction : public FakeObject<IExecAction> {
 public:
  using FakeObject::FakeObject;
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (iid == __uuidof(IExecAction)) {
      if (const HRESULT hr = Step(TaskStep::QueryExecAction); FAILED(hr)) {
        if (out) *out = nullptr;
        return hr;
      }
    }
    return FakeObject::QueryInterface(iid, out);
  }
  NOT_USED(get_Id, BSTR*)
  NOT_USED(put_Id, BSTR)
  NOT_USED(get_Type, TASK_ACTION_TYPE*)
  NOT_USED(get_Path, BSTR*)
  HRESULT STDMETHODCALLTYPE put_Path(BSTR path) override {
    record_.program_path = Text(path);
    return Step(TaskStep::PutPath);
  }
  NOT_USED(get_Arguments, BSTR*)
  HRESULT STDMETHODCALLTYPE put_Arguments(BSTR arguments) override {
    record_.program_arguments = Text(arguments);
    return S_OK;
  }
  NOT_USED(get_WorkingDirectory, BSTR*)
  HRESULT STDMETHODCALLTYPE put_WorkingDirectory(BSTR directory) override {
    record_.working_directory = Text(directory);
    return S_OK;
  }

 protected:
  bool Offers(REFIID iid) override { return iid == __uuidof(IAction); }
};

// Hands out an IAction, as the real collection does; the exec interface is
// reached through QueryInterface.
class FakeActions : public FakeObject<IActionCollection> {
 public:
  using FakeObject::FakeObject;
  NOT_USED(get_Count, LONG*)
  NOT_USED(get_Item, LONG, IAction**)
  NOT_USED(get__NewEnum, IUnknown**)
  NOT_USED(get_XmlText, BSTR*)
  NOT_USED(put_XmlText, BSTR)
  HRESULT STDMETHODCALLTYPE Create(TASK_ACTION_TYPE type, IAction** action) override {
    record_.action_type = type;
    if (const HRESULT hr = Step(TaskStep::CreateAction); FAILED(hr)) return hr;
    ++record_.actions_created;
    FakeExecAction* made = nullptr;
    const HRESULT hr = Hand(&made);
    if (action) *action = made;
    return hr;
  }
  NOT_USED(Remove, VARIANT)
  NOT_USED(Clear)
  NOT_USED(get_Context, BSTR*)
  NOT_USED(put_Context, BSTR)
};

class FakeDefinition : public FakeObject<ITaskDefinition> {
 public:
  using FakeObject::FakeObject;
  NOT_USED(get_RegistrationInfo, IRegistrationInfo**)
  NOT_USED(put_RegistrationInfo, IRegistrationInfo*)
  HRESULT STDMETHODCALLTYPE get_Triggers(ITriggerCollection** triggers) override {
    return Child(TaskStep::GetTriggers, triggers_, triggers);
  }
  NOT_USED(put_Triggers, ITriggerCollection*)
  HRESULT STDMETHODCALLTYPE get_Settings(ITaskSettings** settings) override {
    return Child(TaskStep::GetSettings, settings_, settings);
  }
  NOT_USED(put_Settings, ITaskSettings*)
  NOT_USED(get_Data, BSTR*)
  NOT_USED(put_Data, BSTR)
  HRESULT STDMETHODCALLTYPE get_Principal(IPrincipal** principal) override {
    return Child(TaskStep::GetPrincipal, principal_, principal);
  }
  NOT_USED(put_Principal, IPrincipal*)
  HRESULT STDMETHODCALLTYPE get_Actions(IActionCollection** actions) override {
    return Child(TaskStep::GetActions, actions_, actions);
  }
  NOT_USED(put_Actions, IActionCollection*)
  NOT_USED(get_XmlText, BSTR*)
  NOT_USED(put_XmlText, BSTR)

 private:
  // Each child of a definition exists once and is handed out again on every
  // later request, as the real definition does.
  template <typename Fake, typename Interface>
  HRESULT Child(TaskStep step, ComPtr<Fake>& child, Interface** out) {
    if (const HRESULT hr = Step(step); FAILED(hr)) return hr;
    if (!out) return E_POINTER;
    if (!child) child = new Fake(record_);
    *out = child.Get();
    child->AddRef();
    return S_OK;
  }

  ComPtr<FakeTriggers> triggers_;
  ComPtr<FakeSettings> settings_;
  ComPtr<FakePrincipal> principal_;
  ComPtr<FakeActions> actions_;
};

class FakeFolder : public FakeObject<ITaskFolder> {
 public:
  using FakeObject::FakeObject;
  NOT_USED(get_Name, BSTR*)
  NOT_USED(get_Path, BSTR*)
  NOT_USED(GetFolder, BSTR, ITaskFolder**)
  NOT_USED(GetFolders, LONG, ITaskFolderCollection**)
  NOT_USED(CreateFolder, BSTR, VARIANT, ITaskFolder**)
  NOT_USED(DeleteFolder, BSTR, LONG)
  NOT_USED(GetTask, BSTR, IRegisteredTask**)
  NOT_USED(GetTasks, LONG, IRegisteredTaskCollection**)
  NOT_USED(DeleteTask, BSTR, LONG)
  NOT_USED(RegisterTask, BSTR, BSTR, LONG, VARIANT, VARIANT, TASK_LOGON_TYPE, VARIANT, IRegisteredTask**)
  HRESULT STDMETHODCALLTYPE RegisterTaskDefinition(BSTR path, ITaskDefinition* definition, LONG flags,
                                                   VARIANT user, VARIANT password, TASK_LOGON_TYPE logon,
                                                   VARIANT sddl, IRegisteredTask** task) override {
    ++record_.register_calls;
    record_.register_path = Text(path);
    record_.registered_new_task = definition && definition == record_.new_task;
    record_.register_flags = flags;
    record_.register_user_type = user.vt;
    record_.register_password_type = password.vt;
    record_.register_logon_type = logon;
    record_.register_sddl_type = sddl.vt;
    if (sddl.vt == VT_BSTR) record_.register_sddl = Text(sddl.bstrVal);
    record_.registered_task_requested = task != nullptr;
    if (task) *task = nullptr;
    return Step(TaskStep::Register);
  }
  NOT_USED(GetSecurityDescriptor, LONG, BSTR*)
  NOT_USED(SetSecurityDescriptor, BSTR, LONG)
};

class FakeService : public FakeObject<ITaskService> {
 public:
  using FakeObject::FakeObject;
  HRESULT STDMETHODCALLTYPE GetFolder(BSTR path, ITaskFolder** folder) override {
    record_.folder_path = Text(path);
    if (const HRESULT hr = Step(TaskStep::GetFolder); FAILED(hr)) return hr;
    FakeFolder* made = nullptr;
    const HRESULT hr = Hand(&made);
    if (folder) *folder = made;
    return hr;
  }
  NOT_USED(GetRunningTasks, LONG, IRunningTaskCollection**)
  HRESULT STDMETHODCALLTYPE NewTask(DWORD flags, ITaskDefinition** definition) override {
    record_.new_task_flags = flags;
    if (const HRESULT hr = Step(TaskStep::NewTask); FAILED(hr)) return hr;
    FakeDefinition* made = nullptr;
    const HRESULT hr = Hand(&made);
    record_.new_task = static_cast<ITaskDefinition*>(made);
    if (definition) *definition = made;
    return hr;
  }
  HRESULT STDMETHODCALLTYPE Connect(VARIANT server, VARIANT user, VARIANT domain, VARIANT password) override {
    ++record_.connect_calls;
    record_.connect_types[0] = server.vt;
    record_.connect_types[1] = user.vt;
    record_.connect_types[2] = domain.vt;
    record_.connect_types[3] = password.vt;
    return Step(TaskStep::Connect);
  }
  NOT_USED(get_Connected, VARIANT_BOOL*)
  NOT_USED(get_TargetServer, BSTR*)
  NOT_USED(get_ConnectedUser, BSTR*)
  NOT_USED(get_ConnectedDomain, BSTR*)
  NOT_USED(get_HighestVersion, DWORD*)
};

}  // namespace

HRESULT CreateFakeTaskService(TaskRecord& record, ITaskService** service) {
  if (!service) return E_POINTER;
  *service = nullptr;
  if (const auto it = record.failures.find(TaskStep::CreateService); it != record.failures.end())
    return it->second;
  auto* made = new FakeService(record);
  made->AddRef();
  *service = made;
  return S_OK;
}

}  // namespace ostrel::settings::testing
