// A WMI namespace through IWbemLocator and IWbemServices.
#pragma once

#include <memory>
#include <string>

#include "sensorlib/wmi_connection.h"

struct IWbemServices;

namespace sensorlib {

// Nothing, with why, when the namespace cannot be reached (its provider is
// not installed or not running).
std::unique_ptr<WmiConnection> ConnectWmi(const wchar_t* name_space, std::string& why);

// Queries through a namespace already connected (the seam the tests use
// with stand-in COM objects); takes its own reference.
std::unique_ptr<WmiConnection> WrapWbemServices(IWbemServices* services);

}  // namespace sensorlib
