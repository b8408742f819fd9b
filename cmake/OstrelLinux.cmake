# The Linux daemon's system libraries, linked dynamically from Debian's
# packages: hidapi's hidraw backend (libhidapi-hidraw.so.0; a stand-in of the
# same soname first on LD_LIBRARY_PATH replaces it), libudev and libsystemd.
# The fuzz preset builds decision code only.
if(WIN32 OR OSTREL_FUZZ)
  set(OSTREL_LINUX_ENGINE OFF)
  return()
endif()
find_package(PkgConfig REQUIRED)
pkg_check_modules(OSTREL_HIDRAW REQUIRED IMPORTED_TARGET GLOBAL hidapi-hidraw)
pkg_check_modules(OSTREL_UDEV REQUIRED IMPORTED_TARGET GLOBAL libudev)
pkg_check_modules(OSTREL_SYSTEMD REQUIRED IMPORTED_TARGET GLOBAL libsystemd)
find_package(Threads REQUIRED)
add_library(hidapi::hidapi ALIAS PkgConfig::OSTREL_HIDRAW)
# The header alone, for the simulator that stands in for the library.
add_library(ostrel_hidapi_include INTERFACE)
target_include_directories(ostrel_hidapi_include INTERFACE ${OSTREL_HIDRAW_INCLUDE_DIRS})
add_library(hidapi::include ALIAS ostrel_hidapi_include)
set(OSTREL_LINUX_ENGINE ON)
