// Stand-ins for the WMI interfaces the library walks (IWbemServices,
// IEnumWbemClassObject, IWbemClassObject): every method answers
// WBEM_E_NOT_SUPPORTED until a test's fake overrides it, and IUnknown counts
// the objects alive so a test can see that all were released. The method
// lists follow wbemcli.h.
#pragma once

#include <wbemcli.h>
#include <windows.h>

#include <atomic>

// COM interfaces have no virtual destructor; these objects delete themselves
// through Com's, which is virtual.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"

namespace wbem_fake {

inline std::atomic<int> alive{0};

// IUnknown for one interface, reference-counted, deleting itself at zero.
template <typename Interface>
class Com : public Interface {
 public:
  Com() { ++alive; }
  virtual ~Com() { --alive; }
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** out) override {
    if (id == __uuidof(IUnknown) || id == __uuidof(Interface)) {
      *out = static_cast<Interface*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
  }

 private:
  std::atomic<ULONG> refs_{1};
};

// A method the fakes do not use; the parameters are types alone.
#define WBEM_NOT_SUPPORTED(name, ...) \
  HRESULT STDMETHODCALLTYPE name(__VA_ARGS__) override { return WBEM_E_NOT_SUPPORTED; }

class ServicesStub : public Com<IWbemServices> {
 public:
  WBEM_NOT_SUPPORTED(OpenNamespace, const BSTR, LONG, IWbemContext*, IWbemServices**, IWbemCallResult**)
  WBEM_NOT_SUPPORTED(CancelAsyncCall, IWbemObjectSink*)
  WBEM_NOT_SUPPORTED(QueryObjectSink, LONG, IWbemObjectSink**)
  WBEM_NOT_SUPPORTED(GetObject, const BSTR, LONG, IWbemContext*, IWbemClassObject**, IWbemCallResult**)
  WBEM_NOT_SUPPORTED(GetObjectAsync, const BSTR, LONG, IWbemContext*, IWbemObjectSink*)
  WBEM_NOT_SUPPORTED(PutClass, IWbemClassObject*, LONG, IWbemContext*, IWbemCallResult**)
  WBEM_NOT_SUPPORTED(PutClassAsync, IWbemClassObject*, LONG, IWbemContext*, IWbemObjectSink*)
  WBEM_NOT_SUPPORTED(DeleteClass, const BSTR, LONG, IWbemContext*, IWbemCallResult**)
  WBEM_NOT_SUPPORTED(DeleteClassAsync, const BSTR, LONG, IWbemContext*, IWbemObjectSink*)
  WBEM_NOT_SUPPORTED(CreateClassEnum, const BSTR, LONG, IWbemContext*, IEnumWbemClassObject**)
  WBEM_NOT_SUPPORTED(CreateClassEnumAsync, const BSTR, LONG, IWbemContext*, IWbemObjectSink*)
  WBEM_NOT_SUPPORTED(PutInstance, IWbemClassObject*, LONG, IWbemContext*, IWbemCallResult**)
  WBEM_NOT_SUPPORTED(PutInstanceAsync, IWbemClassObject*, LONG, IWbemContext*, IWbemObjectSink*)
  WBEM_NOT_SUPPORTED(DeleteInstance, const BSTR, LONG, IWbemContext*, IWbemCallResult**)
  WBEM_NOT_SUPPORTED(DeleteInstanceAsync, const BSTR, LONG, IWbemContext*, IWbemObjectSink*)
  WBEM_NOT_SUPPORTED(CreateInstanceEnum, const BSTR, LONG, IWbemContext*, IEnumWbemClassObject**)
  WBEM_NOT_SUPPORTED(CreateInstanceEnumAsync, const BSTR, LONG, IWbemContext*, IWbemObjectSink*)
  WBEM_NOT_SUPPORTED(ExecQuery, const BSTR, const BSTR, LONG, IWbemContext*, IEnumWbemClassObject**)
  WBEM_NOT_SUPPORTED(ExecQueryAsync, const BSTR, const BSTR, LONG, IWbemContext*, IWbemObjectSink*)
  WBEM_NOT_SUPPORTED(ExecNotificationQuery, const BSTR, const BSTR, LONG, IWbemContext*,
                     IEnumWbemClassObject**)
  WBEM_NOT_SUPPORTED(ExecNotificationQueryAsync, const BSTR, const BSTR, LONG, IWbemContext*,
                     IWbemObjectSink*)
  WBEM_NOT_SUPPORTED(ExecMethod, const BSTR, const BSTR, LONG, IWbemContext*, IWbemClassObject*,
                     IWbemClassObject**, IWbemCallResult**)
  WBEM_NOT_SUPPORTED(ExecMethodAsync, const BSTR, const BSTR, LONG, IWbemContext*, IWbemClassObject*,
                     IWbemObjectSink*)
};

class EnumStub : public Com<IEnumWbemClassObject> {
 public:
  WBEM_NOT_SUPPORTED(Reset)
  WBEM_NOT_SUPPORTED(Next, LONG, ULONG, IWbemClassObject**, ULONG*)
  WBEM_NOT_SUPPORTED(NextAsync, ULONG, IWbemObjectSink*)
  WBEM_NOT_SUPPORTED(Clone, IEnumWbemClassObject**)
  WBEM_NOT_SUPPORTED(Skip, LONG, ULONG)
};

class ObjectStub : public Com<IWbemClassObject> {
 public:
  WBEM_NOT_SUPPORTED(GetQualifierSet, IWbemQualifierSet**)
  WBEM_NOT_SUPPORTED(Get, LPCWSTR, LONG, VARIANT*, CIMTYPE*, LONG*)
  WBEM_NOT_SUPPORTED(Put, LPCWSTR, LONG, VARIANT*, CIMTYPE)
  WBEM_NOT_SUPPORTED(Delete, LPCWSTR)
  WBEM_NOT_SUPPORTED(GetNames, LPCWSTR, LONG, VARIANT*, SAFEARRAY**)
  WBEM_NOT_SUPPORTED(BeginEnumeration, LONG)
  WBEM_NOT_SUPPORTED(Next, LONG, BSTR*, VARIANT*, CIMTYPE*, LONG*)
  WBEM_NOT_SUPPORTED(EndEnumeration)
  WBEM_NOT_SUPPORTED(GetPropertyQualifierSet, LPCWSTR, IWbemQualifierSet**)
  WBEM_NOT_SUPPORTED(Clone, IWbemClassObject**)
  WBEM_NOT_SUPPORTED(GetObjectText, LONG, BSTR*)
  WBEM_NOT_SUPPORTED(SpawnDerivedClass, LONG, IWbemClassObject**)
  WBEM_NOT_SUPPORTED(SpawnInstance, LONG, IWbemClassObject**)
  WBEM_NOT_SUPPORTED(CompareTo, LONG, IWbemClassObject*)
  WBEM_NOT_SUPPORTED(GetPropertyOrigin, LPCWSTR, BSTR*)
  WBEM_NOT_SUPPORTED(InheritsFrom, LPCWSTR)
  WBEM_NOT_SUPPORTED(GetMethod, LPCWSTR, LONG, IWbemClassObject**, IWbemClassObject**)
  WBEM_NOT_SUPPORTED(PutMethod, LPCWSTR, LONG, IWbemClassObject*, IWbemClassObject*)
  WBEM_NOT_SUPPORTED(DeleteMethod, LPCWSTR)
  WBEM_NOT_SUPPORTED(BeginMethodEnumeration, LONG)
  WBEM_NOT_SUPPORTED(NextMethod, LONG, BSTR*, IWbemClassObject**, IWbemClassObject**)
  WBEM_NOT_SUPPORTED(EndMethodEnumeration)
  WBEM_NOT_SUPPORTED(GetMethodQualifierSet, LPCWSTR, IWbemQualifierSet**)
  WBEM_NOT_SUPPORTED(GetMethodOrigin, LPCWSTR, BSTR*)
};

#undef WBEM_NOT_SUPPORTED

}  // namespace wbem_fake

#pragma GCC diagnostic pop
