# Third-party libraries for the active toolchain:
#   marrowel::jsoncpp                              jsoncpp
#   GTest::gtest, GTest::gtest_main, GTest::gmock  GoogleTest (with MARROWEL_TESTS)
# Native builds use Debian's packages. Cross builds (linux32, win64, win32)
# compile both as static libraries for their own toolchain inside the build
# tree: jsoncpp from the Debian source package that tools/setup.sh unpacks,
# GoogleTest from the sources of Debian's googletest package. Neither sees the
# project's warning flags.

if(CMAKE_CROSSCOMPILING)
  set(_marrowel_bundled_default ON)
else()
  set(_marrowel_bundled_default OFF)
endif()
option(MARROWEL_BUNDLED_DEPS "Build jsoncpp and GoogleTest from source for this toolchain"
       ${_marrowel_bundled_default})
set(MARROWEL_JSONCPP_SOURCE_DIR "${PROJECT_SOURCE_DIR}/build/_deps-src/jsoncpp"
    CACHE PATH "jsoncpp sources (Debian source package, unpacked by tools/setup.sh)")
set(MARROWEL_GOOGLETEST_SOURCE_DIR /usr/src/googletest
    CACHE PATH "GoogleTest sources (Debian package googletest)")

# A function scope keeps these option values away from the project's own targets.
function(_marrowel_add_bundled_jsoncpp)
  if(NOT EXISTS "${MARROWEL_JSONCPP_SOURCE_DIR}/CMakeLists.txt")
    message(FATAL_ERROR "No jsoncpp sources in ${MARROWEL_JSONCPP_SOURCE_DIR}; run tools/setup.sh")
  endif()
  set(CMAKE_POLICY_DEFAULT_CMP0077 NEW)
  # Shared or object libraries would compile the static one with DLL exports,
  # and the host would then export jsoncpp's symbols.
  foreach(off IN ITEMS BUILD_SHARED_LIBS BUILD_OBJECT_LIBS JSONCPP_WITH_TESTS
              JSONCPP_WITH_POST_BUILD_UNITTEST JSONCPP_WITH_PKGCONFIG_SUPPORT
              JSONCPP_WITH_CMAKE_PACKAGE JSONCPP_WITH_EXAMPLE JSONCPP_WITH_WARNING_AS_ERROR)
    set(${off} OFF)
  endforeach()
  set(BUILD_STATIC_LIBS ON)
  add_subdirectory(${MARROWEL_JSONCPP_SOURCE_DIR} ${CMAKE_BINARY_DIR}/_deps/jsoncpp
                   EXCLUDE_FROM_ALL SYSTEM)
  # jsoncpp publishes its output folders as cache entries; left there, they
  # would move the project's own binaries on the next configure.
  foreach(kind IN ITEMS ARCHIVE LIBRARY PDB RUNTIME)
    unset(CMAKE_${kind}_OUTPUT_DIRECTORY CACHE)
  endforeach()
  set_target_properties(jsoncpp_static PROPERTIES
    ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/_deps/jsoncpp/lib)
  # Third-party warnings are not ours to fix; keep the build log readable.
  target_compile_options(jsoncpp_static PRIVATE -w)
endfunction()

function(_marrowel_add_bundled_googletest)
  set(INSTALL_GTEST OFF)
  add_subdirectory(${MARROWEL_GOOGLETEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/_deps/googletest
                   EXCLUDE_FROM_ALL SYSTEM)
  foreach(lib IN ITEMS gtest gtest_main gmock gmock_main)
    target_compile_options(${lib} PRIVATE -w)
  endforeach()
endfunction()

if(MARROWEL_BUNDLED_DEPS)
  _marrowel_add_bundled_jsoncpp()
  add_library(marrowel::jsoncpp ALIAS jsoncpp_static)
  if(MARROWEL_TESTS)
    _marrowel_add_bundled_googletest()
  endif()
else()
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(JSONCPP REQUIRED IMPORTED_TARGET GLOBAL jsoncpp)
  add_library(marrowel::jsoncpp ALIAS PkgConfig::JSONCPP)
  if(MARROWEL_TESTS)
    find_package(GTest REQUIRED)
  endif()
endif()

# win64: the emulator named by the toolchain, a wine64 start with a prefix
# inside this build tree.
if(MARROWEL_WINE64_LOADER)
  set(MARROWEL_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
  configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-run.in ${CMAKE_BINARY_DIR}/wine-run @ONLY
                 FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
                                  GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
endif()

include(GoogleTest)

# Registers a GoogleTest binary with CTest. Natively each test case becomes a
# CTest test. Under an emulator every start is slow (wine: a second or more,
# several more for the first, which creates the prefix), so the whole binary is
# one test; with output on failure, its log names the failing cases. A build
# that cannot run its binaries (win32) only builds them.
function(marrowel_add_gtest target)
  if(NOT CMAKE_CROSSCOMPILING)
    gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60)
  elseif(CMAKE_CROSSCOMPILING_EMULATOR)
    add_test(NAME ${target} COMMAND ${target})
  endif()
endfunction()
