// fake_sysfs_tree <ryzen|intel|dual|garbled> <folder>: writes one of the
// tests' host trees, for scripts that run whole programs on it.
#include <cstdio>
#include <string_view>

#include "tests/sensors/fake_sysfs.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: fake_sysfs_tree <ryzen|intel|dual|garbled> <folder>\n");
    return 2;
  }
  const std::string_view tree = argv[1];
  const std::filesystem::path root = argv[2];
  if (tree == "ryzen") {
    fake_sysfs::RyzenDesktop(root);
  } else if (tree == "intel") {
    fake_sysfs::IntelLaptop(root);
  } else if (tree == "dual") {
    fake_sysfs::DualSocketServer(root);
  } else if (tree == "garbled") {
    // The desktop as the hot-plug test leaves it: an ACPI zone come, Tctl
    // empty, the board's sensors "abc", a megabyte and a driver's error.
    fake_sysfs::RyzenDesktop(root);
    fake_sysfs::Put(root, "sys/class/hwmon/hwmon9/name", "acpitz\n");
    fake_sysfs::Put(root, "sys/class/hwmon/hwmon9/temp1_input", "40000\n");
    fake_sysfs::Put(root, "sys/class/hwmon/hwmon1/temp1_input", "");
    fake_sysfs::Put(root, "sys/class/hwmon/hwmon3/temp1_input", "abc\n");
    fake_sysfs::Put(root, "sys/class/hwmon/hwmon3/temp2_input", std::string(1 << 20, '9'));
    fake_sysfs::Put(root, "sys/class/hwmon/hwmon3/temp3_input", "-999999999999\n");
  } else {
    std::fprintf(stderr, "fake_sysfs_tree: unknown tree %s\n", argv[1]);
    return 2;
  }
  return 0;
}
