# Dependencies built by scripts/setup.sh into the cache folder. A cross
# toolchain re-roots CMAKE_PREFIX_PATH, so each package is given its folder.
set(_deps ${OSTREL_DEPS}/install)
if(NOT EXISTS ${_deps}/bin/hidapi.dll)
  message(FATAL_ERROR "Dependencies missing in ${OSTREL_DEPS}: run scripts/setup.sh")
endif()

set(hidapi_DIR ${_deps}/lib/cmake/hidapi)
find_package(hidapi 0.13 REQUIRED CONFIG)
set(OSTREL_HIDAPI_DLL ${_deps}/bin/hidapi.dll)

set(ZLIB_USE_STATIC_LIBS ON)
find_package(ZLIB REQUIRED)
add_library(ostrel_minizip STATIC IMPORTED GLOBAL)
set_target_properties(ostrel_minizip PROPERTIES
  IMPORTED_LOCATION ${_deps}/lib/libminizip.a
  INTERFACE_INCLUDE_DIRECTORIES ${_deps}/include/minizip
  INTERFACE_LINK_LIBRARIES ZLIB::ZLIB)
add_library(minizip::minizip ALIAS ostrel_minizip)

# libsodium, static: its headers then declare nothing as imported from a DLL.
if(NOT EXISTS ${_deps}/lib/libsodium.a)
  message(FATAL_ERROR "libsodium missing in ${OSTREL_DEPS}: run scripts/setup.sh")
endif()
add_library(ostrel_sodium STATIC IMPORTED GLOBAL)
set_target_properties(ostrel_sodium PROPERTIES
  IMPORTED_LOCATION ${_deps}/lib/libsodium.a
  INTERFACE_INCLUDE_DIRECTORIES ${_deps}/include
  INTERFACE_COMPILE_DEFINITIONS SODIUM_STATIC)
add_library(sodium::sodium ALIAS ostrel_sodium)

if(OSTREL_BUILD_TESTS)
  set(GTest_DIR ${_deps}/lib/cmake/GTest)
  find_package(GTest REQUIRED CONFIG)
endif()

# hidapi.dll ships beside the program.
file(MAKE_DIRECTORY ${OSTREL_BIN_DIR})
configure_file(${OSTREL_HIDAPI_DLL} ${OSTREL_BIN_DIR}/hidapi.dll COPYONLY)
