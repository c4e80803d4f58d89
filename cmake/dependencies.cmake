# jsoncpp for the active toolchain, as the imported target marrowel::jsoncpp.
find_package(PkgConfig REQUIRED)
pkg_check_modules(JSONCPP REQUIRED IMPORTED_TARGET jsoncpp)
add_library(marrowel::jsoncpp ALIAS PkgConfig::JSONCPP)

if(MARROWEL_TESTS)
  find_package(GTest REQUIRED)
endif()

# Registers a GoogleTest binary with CTest.
function(marrowel_add_gtest target)
  include(GoogleTest)
  gtest_discover_tests(${target})
endfunction()
