// The WMI glue against stand-in COM objects: what it asks, how it reads the
// rows' VARIANTs, how it ends on a failing or stalled provider, that every
// object it was handed goes back, and LibreHardwareMonitor's and the ACPI
// zones' mapping over what came through.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "sensorlib/kinds.h"
#include "sensorlib/lhm_source.h"
#include "sensorlib/wmi_connection_win.h"
#include "tests/sensors/wbem_stubs_win.h"

namespace {

using namespace sensorlib;

struct Property {
  std::wstring name;
  VARTYPE type;
  double number = 0;
  std::wstring text;
};
using Row = std::vector<Property>;

class FakeObject final : public wbem_fake::ObjectStub {
 public:
  explicit FakeObject(Row row) : row_(std::move(row)) {}
  HRESULT STDMETHODCALLTYPE BeginEnumeration(LONG) override {
    at_ = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Next(LONG, BSTR* name, VARIANT* value, CIMTYPE*, LONG*) override {
    if (at_ >= row_.size()) return WBEM_S_NO_MORE_DATA;
    const Property& p = row_[at_++];
    *name = ::SysAllocString(p.name.c_str());
    ::VariantInit(value);
    value->vt = p.type;
    switch (p.type) {
      case VT_BSTR:
        value->bstrVal = ::SysAllocString(p.text.c_str());
        break;
      case VT_R4:
        value->fltVal = static_cast<float>(p.number);
        break;
      case VT_I4:
        value->lVal = static_cast<LONG>(p.number);
        break;
      default:
        break;  // VT_NULL: a property with no value
    }
    return WBEM_S_NO_ERROR;
  }
  HRESULT STDMETHODCALLTYPE EndEnumeration() override { return S_OK; }

 private:
  Row row_;
  std::size_t at_ = 0;
};

class FakeEnum final : public wbem_fake::EnumStub {
 public:
  FakeEnum(std::vector<Row> rows, bool stall) : rows_(std::move(rows)), stall_(stall) {}
  HRESULT STDMETHODCALLTYPE Next(LONG, ULONG count, IWbemClassObject** objects, ULONG* returned) override {
    *returned = 0;
    if (count != 1) return WBEM_E_INVALID_PARAMETER;
    if (stall_ && at_ == 1) return WBEM_S_TIMEDOUT;
    if (at_ >= rows_.size()) return WBEM_S_FALSE;
    objects[0] = new FakeObject(rows_[at_++]);
    *returned = 1;
    return WBEM_S_NO_ERROR;
  }

 private:
  std::vector<Row> rows_;
  bool stall_;
  std::size_t at_ = 0;
};

class FakeServices final : public wbem_fake::ServicesStub {
 public:
  HRESULT STDMETHODCALLTYPE ExecQuery(BSTR language, BSTR query, LONG flags, IWbemContext*,
                                      IEnumWbemClassObject** rows) override {
    asked.push_back(std::wstring(language) + L": " + query);
    last_flags = flags;
    const auto it = answers.find(query);
    if (it == answers.end() || fail) return WBEM_E_INVALID_CLASS;
    *rows = new FakeEnum(it->second, stall);
    return S_OK;
  }
  std::map<std::wstring, std::vector<Row>> answers;
  std::vector<std::wstring> asked;
  LONG last_flags = 0;
  bool fail = false, stall = false;
};

std::wstring Wide(std::string_view s) { return std::wstring(s.begin(), s.end()); }

Row Hardware(const wchar_t* id, const wchar_t* name, const wchar_t* type) {
  return {{L"Identifier", VT_BSTR, 0, id}, {L"Name", VT_BSTR, 0, name}, {L"HardwareType", VT_BSTR, 0, type}};
}
Row Sensor(const wchar_t* parent, const wchar_t* name, const wchar_t* type, VARTYPE vt, double value) {
  return {{L"Name", VT_BSTR, 0, name},
          {L"SensorType", VT_BSTR, 0, type},
          {L"Parent", VT_BSTR, 0, parent},
          {L"Value", vt, value, {}}};
}

TEST(WmiThroughCom, LibreHardwareMonitorAndAcpiZones) {
  auto* services = new FakeServices;
  services->answers[Wide(kLhmHardwareQuery)] = {Hardware(L"/intelcpu/0", L"Intel Core i7-12700K", L"Cpu"),
                                                Hardware(L"/gpu-amd/0", L"AMD Radeon RX 6800 XT", L"GpuAmd")};
  services->answers[Wide(kLhmSensorQuery)] = {
      Sensor(L"/intelcpu/0", L"CPU Package", L"Temperature", VT_R4, 58.5),
      Sensor(L"/intelcpu/0", L"CPU Total", L"Load", VT_R4, 12.25),
      Sensor(L"/intelcpu/0", L"CPU Core #1", L"Temperature", VT_NULL, 0),
      Sensor(L"/gpu-amd/0", L"GPU Core", L"Temperature", VT_R4, 44),
      Sensor(L"/gpu-amd/0", L"GPU Core", L"Load", VT_I4, 7)};
  services->answers[Wide(kAcpiZoneQuery)] = {
      {{L"InstanceName", VT_BSTR, 0, L"\\_TZ.THRM_0"}, {L"CurrentTemperature", VT_I4, 3232, {}}}};
  {
    LhmSource lhm(WrapWbemServices(services));
    lhm.Open();
    std::vector<SnapshotItem> items;
    lhm.Collect({}, items);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].name, "Intel Core i7-12700K");
    ASSERT_EQ(items[0].readings.size(), 2u);  // the core without a value is left out
    EXPECT_EQ(items[0].readings[0].label, "CPU Package");
    EXPECT_EQ(items[0].readings[0].value, 58.5);
    EXPECT_EQ(items[1].kind, kKindGraphics);
    EXPECT_EQ(items[1].readings[0].label, "GPU Temperature");
    EXPECT_EQ(items[1].readings[1].label, "GPU Utilization");
    EXPECT_EQ(items[1].readings[1].value, 7);
    EXPECT_EQ(services->asked, (std::vector<std::wstring>{L"WQL: " + Wide(kLhmHardwareQuery),
                                                          L"WQL: " + Wide(kLhmSensorQuery)}));
    EXPECT_EQ(services->last_flags, WBEM_FLAG_FORWARD_ONLY | WBEM_FLAG_RETURN_IMMEDIATELY);

    // A stalled provider and a failing one: no items, no crash.
    services->stall = true;
    items.clear();
    lhm.Collect({}, items);
    EXPECT_TRUE(items.empty());
    services->stall = false;
    services->fail = true;
    lhm.Collect({}, items);
    EXPECT_TRUE(items.empty());
    services->fail = false;

    AcpiZoneSource acpi(WrapWbemServices(services));
    items.clear();
    acpi.Collect({}, items);
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].readings[0].label, "Motherboard");
    EXPECT_NEAR(items[0].readings[0].value, 50.05, 1e-9);
  }
  services->Release();  // the test's own reference; the sources gave back theirs
  EXPECT_EQ(wbem_fake::alive.load(), 0) << "a COM object was not released";
}

}  // namespace
