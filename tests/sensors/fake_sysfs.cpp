#include "tests/sensors/fake_sysfs.h"

#include <fstream>

namespace fake_sysfs {
namespace {

void Stat(const std::filesystem::path& root, int busy) {
  Put(root, "proc/stat",
      "cpu  " + std::to_string(busy) + " 0 0 " + std::to_string(1000 - busy) +
          " 0 0 0 0 0 0\ncpu0 1 0 0 1 0 0 0 0 0 0\nintr 12345\n");
}

void Cpuinfo(const std::filesystem::path& root, const std::string& model, int packages) {
  std::string text;
  for (int p = 0; p < packages; ++p) {
    for (int core = 0; core < 2; ++core) {
      text += "processor\t: " + std::to_string(p * 2 + core) + "\nvendor_id\t: x\nmodel name\t: " + model +
              "\nphysical id\t: " + std::to_string(p) + "\n\n";
    }
  }
  Put(root, "proc/cpuinfo", text);
}

}  // namespace

void Put(const std::filesystem::path& root, const std::string& relative, const std::string& content) {
  const std::filesystem::path path = root / relative;
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
}

void RyzenDesktop(const std::filesystem::path& root) {
  const std::string h = "sys/class/hwmon/";
  Put(root, h + "hwmon0/name", "nvme\n");
  Put(root, h + "hwmon0/device/model", "Samsung SSD 980 PRO 1TB                 \n");
  Put(root, h + "hwmon0/temp1_label", "Composite\n");
  Put(root, h + "hwmon0/temp1_input", "38850\n");
  Put(root, h + "hwmon0/temp1_crit", "84850\n");
  Put(root, h + "hwmon0/temp2_label", "Sensor 1\n");
  Put(root, h + "hwmon0/temp2_input", "38850\n");
  Put(root, h + "hwmon0/temp3_label", "Sensor 2\n");
  Put(root, h + "hwmon0/temp3_input", "42850\n");

  Put(root, h + "hwmon1/name", "k10temp\n");
  Put(root, h + "hwmon1/temp1_label", "Tctl\n");
  Put(root, h + "hwmon1/temp1_input", "64250\n");
  Put(root, h + "hwmon1/temp3_label", "Tccd1\n");
  Put(root, h + "hwmon1/temp3_input", "58500\n");
  Put(root, h + "hwmon1/temp4_label", "Tccd2\n");
  Put(root, h + "hwmon1/temp4_input", "55000\n");

  Put(root, h + "hwmon2/name", "amdgpu\n");
  Put(root, h + "hwmon2/device/mem_info_vram_total", "17163091968\n");
  Put(root, h + "hwmon2/device/gpu_busy_percent", "35\n");
  Put(root, h + "hwmon2/temp1_label", "edge\n");
  Put(root, h + "hwmon2/temp1_input", "47000\n");
  Put(root, h + "hwmon2/temp2_label", "junction\n");
  Put(root, h + "hwmon2/temp2_input", "52000\n");
  Put(root, h + "hwmon2/temp3_label", "mem\n");
  Put(root, h + "hwmon2/temp3_input", "60000\n");
  Put(root, h + "hwmon2/fan1_input", "1200\n");
  Put(root, h + "hwmon2/in0_label", "vddgfx\n");
  Put(root, h + "hwmon2/in0_input", "950\n");
  Put(root, h + "hwmon2/freq1_label", "sclk\n");
  Put(root, h + "hwmon2/freq1_input", "2100000000\n");
  Put(root, h + "hwmon2/freq2_label", "mclk\n");
  Put(root, h + "hwmon2/freq2_input", "1000000000\n");
  Put(root, h + "hwmon2/power1_average", "45000000\n");

  Put(root, h + "hwmon3/name", "nct6775\n");
  const char* temps[][2] = {{"SYSTIN", "33500"},  {"CPUTIN", "61000"},       {"AUXTIN0", "30000"},
                            {"AUXTIN1", "29000"}, {"PECI Agent 0", "62000"}, {"PCH_CHIP_TEMP", "45000"}};
  for (int i = 0; i < 6; ++i) {
    Put(root, h + "hwmon3/temp" + std::to_string(i + 1) + "_label", std::string(temps[i][0]) + "\n");
    Put(root, h + "hwmon3/temp" + std::to_string(i + 1) + "_input", std::string(temps[i][1]) + "\n");
  }
  for (int i = 1; i <= 5; ++i)
    Put(root, h + "hwmon3/fan" + std::to_string(i) + "_input", "8" + std::to_string(i) + "0\n");
  for (int i = 0; i < 12; ++i)
    Put(root, h + "hwmon3/in" + std::to_string(i) + "_input", std::to_string(1000 + i) + "\n");
  Put(root, h + "hwmon3/in0_label", "Vcore\n");

  Stat(root, 250);
  Cpuinfo(root, "AMD Ryzen 7 5800X 8-Core Processor", 1);
}

void IntelLaptop(const std::filesystem::path& root) {
  const std::string h = "sys/class/hwmon/";
  Put(root, h + "hwmon0/name", "acpitz\n");
  Put(root, h + "hwmon0/temp1_input", "52000\n");
  Put(root, h + "hwmon1/name", "nvme\n");
  Put(root, h + "hwmon1/temp1_label", "Composite\n");
  Put(root, h + "hwmon1/temp1_input", "40850\n");
  Put(root, h + "hwmon2/name", "iwlwifi_1\n");
  Put(root, h + "hwmon2/temp1_input", "45000\n");
  Put(root, h + "hwmon3/name", "i915\n");
  Put(root, h + "hwmon3/energy1_input", "123456789\n");
  Put(root, h + "hwmon3/power1_max", "28000000\n");
  Put(root, h + "hwmon4/name", "coretemp\n");
  Put(root, h + "hwmon4/temp1_label", "Package id 0\n");
  Put(root, h + "hwmon4/temp1_input", "71000\n");
  for (int core = 0; core < 4; ++core) {
    Put(root, h + "hwmon4/temp" + std::to_string(core + 2) + "_label", "Core " + std::to_string(core) + "\n");
    Put(root, h + "hwmon4/temp" + std::to_string(core + 2) + "_input",
        std::to_string(66000 + core * 1000) + "\n");
  }
  Stat(root, 100);
  Cpuinfo(root, "11th Gen Intel(R) Core(TM) i7-1165G7 @ 2.80GHz", 1);
}

void DualSocketServer(const std::filesystem::path& root) {
  const std::string h = "sys/class/hwmon/";
  for (int package = 0; package < 2; ++package) {
    // The second package's chip comes first, as sysfs may list them.
    const std::string dir = h + "hwmon" + std::to_string(1 - package) + "/";
    Put(root, dir + "name", "coretemp\n");
    Put(root, dir + "temp1_label", "Package id " + std::to_string(package) + "\n");
    Put(root, dir + "temp1_input", package == 0 ? "55000\n" : "62000\n");
    for (int core = 0; core < 2; ++core) {
      Put(root, dir + "temp" + std::to_string(core + 2) + "_label", "Core " + std::to_string(core) + "\n");
      Put(root, dir + "temp" + std::to_string(core + 2) + "_input", "50000\n");
    }
  }
  Stat(root, 500);
  Cpuinfo(root, "Intel(R) Xeon(R) Gold 6130 CPU @ 2.10GHz", 2);
}

}  // namespace fake_sysfs
