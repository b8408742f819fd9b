// A WMI namespace through IWbemLocator and IWbemServices.
#pragma once

#include <memory>
#include <string>

#include "sensorlib/wmi_connection.h"

namespace sensorlib {

// Nothing, with why, when the namespace cannot be reached (its provider is
// not installed or not running).
std::unique_ptr<WmiConnection> ConnectWmi(const wchar_t* name_space, std::string& why);

}  // namespace sensorlib
