// Where the scripted source finds its file: the path in OSTREL_SENSOR_SCRIPT,
// else sensors.txt beside the library itself.
#pragma once

#include <filesystem>
#include <string>

namespace sensorlib {

inline constexpr wchar_t kScriptVariable[] = L"OSTREL_SENSOR_SCRIPT";
inline constexpr wchar_t kScriptFileName[] = L"sensors.txt";

struct ScriptLocation {
  std::filesystem::path path;
  std::string how_found;  // for messages
  bool from_variable = false;
};

ScriptLocation LocateScript();

}  // namespace sensorlib
