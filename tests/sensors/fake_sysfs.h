// Host trees as a Linux machine shows them under /sys/class/hwmon and /proc,
// written at test time for the hwmon source (natively, and under Wine through
// OSTREL_SYSFS_ROOT).
#pragma once

#include <filesystem>
#include <string>

namespace fake_sysfs {

// Writes root/relative, creating its folders.
void Put(const std::filesystem::path& root, const std::string& relative, const std::string& content);

// k10temp (Tctl 64.25 °C, two CCDs), an amdgpu card with 16 GiB (edge 47,
// junction 52), an nvme drive and an nct6775 board chip (SYSTIN 33.5, CPUTIN
// 61) with fans and voltages: about forty readings.
void RyzenDesktop(const std::filesystem::path& root);
// coretemp (package 71 °C, four cores), acpitz (52 °C), an i915 with no
// temperature, an nvme drive and a wireless card's sensor.
void IntelLaptop(const std::filesystem::path& root);
// Two coretemp packages (55 and 62 °C) and two Xeon models in cpuinfo.
void DualSocketServer(const std::filesystem::path& root);

}  // namespace fake_sysfs
