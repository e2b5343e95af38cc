# GoogleTest in both builds, and how test executables become CTest tests.
#
# Host build: Debian's libgtest-dev. Windows build: GoogleTest built from
# Debian's sources with the cross compiler; its test executables run under
# Wine through the cross-compiling emulator, in a prefix of this build's own.
include(GoogleTest)

if(CMAKE_CROSSCOMPILING)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  set(PIPSTACK_GTEST gtest)
  set(PIPSTACK_GTEST_MAIN gtest_main)
  set(PIPSTACK_GMOCK gmock)

  set(PIPSTACK_WINE_DIR ${CMAKE_BINARY_DIR}/wine)
  set(PIPSTACK_SOURCE_DIR ${CMAKE_SOURCE_DIR})
  configure_file(${CMAKE_SOURCE_DIR}/cmake/wine-run.sh.in ${PIPSTACK_WINE_DIR}/wine-run.sh
                 @ONLY FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                 WORLD_READ WORLD_EXECUTE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${PIPSTACK_WINE_DIR}/wine-run.sh)

  # The two Windows builds name their tests apart: the 64-bit build's Wine
  # tests are win.*, the 32-bit build's win32.*, and every other test of the
  # 32-bit build carries "win32." in front of the 64-bit build's name.
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(PIPSTACK_WIN_TESTS win32)
    set(PIPSTACK_TEST_PREFIX win32.)
  else()
    set(PIPSTACK_WIN_TESTS win)
    set(PIPSTACK_TEST_PREFIX "")
  endif()
else()
  find_package(GTest REQUIRED)
  set(PIPSTACK_GTEST GTest::gtest)
  set(PIPSTACK_GTEST_MAIN GTest::gtest_main)
  set(PIPSTACK_GMOCK GTest::gmock)
endif()

# Registers every test case of a GoogleTest executable with CTest. Under Wine
# each case needs the session fixture (prefix, display, a running wineserver).
# Extra arguments are passed on as test properties, each with a single value
# (a list would be split apart on its way through test discovery).
#
# What every process of the prefix shares - the virtual port's machine, the
# dosdevices/lpt1 device, HKEY_LOCAL_MACHINE\Software\Pipstack and the
# program's named windows and mutex - is guarded by the one lock
# "wine_shared_state": a test that uses any of them takes RESOURCE_LOCK
# wine_shared_state.
function(pipstack_add_gtest target)
  if(CMAKE_CROSSCOMPILING)
    gtest_discover_tests(${target}
      DISCOVERY_MODE PRE_TEST
      DISCOVERY_TIMEOUT 60
      TEST_PREFIX "${PIPSTACK_WIN_TESTS}.${target}."
      PROPERTIES FIXTURES_REQUIRED wine_session TIMEOUT 120 ${ARGN})
  else()
    gtest_discover_tests(${target}
      DISCOVERY_MODE PRE_TEST
      TEST_PREFIX "host.${target}."
      PROPERTIES TIMEOUT 60 ${ARGN})
  endif()
endfunction()
