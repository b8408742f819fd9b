#include "sensorlib/wmi_connection_win.h"

#include <wbemidl.h>
#include <windows.h>
#include <wrl/client.h>

#include <cstdio>

#include "common/win/bstr.h"
#include "common/win/text.h"

namespace sensorlib {
namespace {

using Microsoft::WRL::ComPtr;

// WMI answers within this or is taken for gone.
constexpr long kRowTimeoutMs = 5000;

std::string Hresult(HRESULT hr) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(hr));
  return text;
}

void Add(WmiRow& row, const std::string& name, const VARIANT& value) {
  switch (value.vt) {
    case VT_BSTR:
      if (value.bstrVal) row.text[name] = ostrel::win::Narrow(value.bstrVal);
      break;
    case VT_R4:
      row.numbers[name] = value.fltVal;
      break;
    case VT_R8:
      row.numbers[name] = value.dblVal;
      break;
    case VT_I4:
      row.numbers[name] = value.lVal;
      break;
    case VT_UI4:
      row.numbers[name] = value.ulVal;
      break;
    default:
      break;
  }
}

class WbemConnection final : public WmiConnection {
 public:
  explicit WbemConnection(ComPtr<IWbemServices> services) : services_(std::move(services)) {}

  std::optional<std::vector<WmiRow>> Query(std::string_view wql) override {
    const ostrel::win::Bstr language(L"WQL");
    const ostrel::win::Bstr query(ostrel::win::Widen(wql));
    ComPtr<IEnumWbemClassObject> rows;
    if (FAILED(services_->ExecQuery(language.get(), query.get(),
                                    WBEM_FLAG_FORWARD_ONLY | WBEM_FLAG_RETURN_IMMEDIATELY, nullptr, &rows))) {
      return std::nullopt;
    }
    std::vector<WmiRow> out;
    for (;;) {
      ComPtr<IWbemClassObject> object;
      ULONG got = 0;
      const HRESULT hr = rows->Next(kRowTimeoutMs, 1, &object, &got);
      if (FAILED(hr) || hr == WBEM_S_TIMEDOUT) return std::nullopt;
      if (got == 0) break;
      WmiRow row;
      if (FAILED(object->BeginEnumeration(WBEM_FLAG_NONSYSTEM_ONLY))) continue;
      BSTR name = nullptr;
      VARIANT value;
      ::VariantInit(&value);
      while (object->Next(0, &name, &value, nullptr, nullptr) == WBEM_S_NO_ERROR) {
        const ostrel::win::Bstr owned = ostrel::win::Bstr::Attach(name);
        if (name) Add(row, ostrel::win::Narrow(name), value);
        ::VariantClear(&value);
      }
      object->EndEnumeration();
      out.push_back(std::move(row));
    }
    return out;
  }

 private:
  ComPtr<IWbemServices> services_;
};

}  // namespace

std::unique_ptr<WmiConnection> ConnectWmi(const wchar_t* name_space, std::string& why) {
  // The calling thread keeps this if it had no COM yet: the connection's
  // proxies live as long as the library, on the thread that calls it.
  const HRESULT init = ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  if (FAILED(init) && init != RPC_E_CHANGED_MODE) {
    why = "COM cannot start (" + Hresult(init) + ")";
    return nullptr;
  }
  ComPtr<IWbemLocator> locator;
  HRESULT hr = ::CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&locator));
  if (FAILED(hr)) {
    why = "no WMI (" + Hresult(hr) + ")";
    return nullptr;
  }
  ComPtr<IWbemServices> services;
  const ostrel::win::Bstr path(name_space);
  hr = locator->ConnectServer(path.get(), nullptr, nullptr, nullptr, 0, nullptr, nullptr, &services);
  if (FAILED(hr)) {
    why = "no namespace " + ostrel::win::Narrow(name_space) + " (" + Hresult(hr) + ")";
    return nullptr;
  }
  ::CoSetProxyBlanket(services.Get(), RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr, RPC_C_AUTHN_LEVEL_CALL,
                      RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE);
  return std::make_unique<WbemConnection>(std::move(services));
}

std::unique_ptr<WmiConnection> WrapWbemServices(IWbemServices* services) {
  return std::make_unique<WbemConnection>(ComPtr<IWbemServices>(services));
}

}  // namespace sensorlib
