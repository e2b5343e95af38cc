# Release packaging of the Windows builds: the files a user gets, a zip of them
# per build (CPack) and one NSIS installer carrying both builds, all made by
# the normal build.
#
# Shipped: pipstack.exe, the virtual port pipstack-virtual-port.dll (so the
# program starts and ledview shows its LEDs with no hardware; the program
# tries it last, so a real port-I/O library put beside it wins), ledview.exe,
# the README with its pictures and the licence, and the USB LED controller's
# firmware: the sketch folder as the Arduino IDE opens it, the hex built for
# the Uno and Nano, and how to upload it (firmware/UPLOAD.txt). Not shipped:
# our pdh.dll. It reads the Linux host's figures and is only for Wine; beside
# the program on Windows it would be found before the system's own pdh.dll and
# take the real counters away. Nor the virtual port's InpOut build, which
# would take a real InpOut's place.
#
# The 32-bit build makes its zip. The 64-bit build makes its own, and builds
# the 32-bit one's packages in that build's folder (configuring it when it is
# not yet) to copy its zip beside its own and to put both programs in the
# installer.
if(NOT WIN32)
  return()
endif()

install(PROGRAMS $<TARGET_FILE:pipstack> $<TARGET_FILE:winio> $<TARGET_FILE:ledview> DESTINATION .)
install(FILES ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_CURRENT_LIST_DIR}/LICENSE.txt DESTINATION .)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/docs/ DESTINATION docs FILES_MATCHING PATTERN "dialog-*.png")
set(PIPSTACK_SKETCH_FILES
    ${CMAKE_SOURCE_DIR}/firmware/PipstackLeds/PipstackLeds.ino
    ${CMAKE_SOURCE_DIR}/firmware/PipstackLeds/led_protocol.h
    ${CMAKE_SOURCE_DIR}/firmware/PipstackLeds/led_protocol.cpp)
install(FILES ${PIPSTACK_SKETCH_FILES} DESTINATION firmware/PipstackLeds)
install(FILES ${PIPSTACK_FIRMWARE_HEX} ${CMAKE_SOURCE_DIR}/firmware/UPLOAD.txt DESTINATION firmware)

file(GLOB PIPSTACK_DOC_PICTURES ${CMAKE_SOURCE_DIR}/docs/dialog-*.png)

if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(PIPSTACK_PACKAGE_ARCH win32)
else()
  set(PIPSTACK_PACKAGE_ARCH win64)
endif()
set(PIPSTACK_PACKAGE_DIR ${CMAKE_BINARY_DIR}/packages)
set(PIPSTACK_STAGE_DIR ${CMAKE_BINARY_DIR}/packaging/stage)
set(PIPSTACK_PACKAGE_NAME Pipstack-${PROJECT_VERSION}-${PIPSTACK_PACKAGE_ARCH})
set(PIPSTACK_ZIP ${PIPSTACK_PACKAGE_DIR}/${PIPSTACK_PACKAGE_NAME}.zip)

# CPack packs the staged tree rather than installing the project itself: its
# own install step builds the 'preinstall' target, which depends on 'all',
# and this target is part of 'all'.
configure_file(${CMAKE_CURRENT_LIST_DIR}/CPackRelease.cmake.in ${CMAKE_BINARY_DIR}/packaging/CPackRelease.cmake @ONLY)

add_custom_command(
  OUTPUT ${PIPSTACK_ZIP} ${PIPSTACK_STAGE_DIR}/pipstack.exe
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${PIPSTACK_STAGE_DIR} ${PIPSTACK_PACKAGE_DIR}/_CPack_Packages
  COMMAND ${CMAKE_COMMAND} --install ${CMAKE_BINARY_DIR} --prefix ${PIPSTACK_STAGE_DIR} --config $<CONFIG>
  COMMAND ${CMAKE_CPACK_COMMAND} -Q --config ${CMAKE_BINARY_DIR}/packaging/CPackRelease.cmake
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${PIPSTACK_PACKAGE_DIR}/_CPack_Packages
  DEPENDS pipstack winio ledview firmware
          ${PIPSTACK_SKETCH_FILES} ${PIPSTACK_FIRMWARE_HEX} ${CMAKE_SOURCE_DIR}/firmware/UPLOAD.txt
          ${CMAKE_SOURCE_DIR}/README.md
          ${CMAKE_CURRENT_LIST_DIR}/LICENSE.txt
          ${PIPSTACK_DOC_PICTURES}
          ${CMAKE_CURRENT_LIST_DIR}/CPackRelease.cmake.in
  COMMENT "Packing the ${PIPSTACK_PACKAGE_ARCH} release zip"
  VERBATIM)

if(PIPSTACK_PACKAGE_ARCH STREQUAL win32)
  add_custom_target(pipstack_packages ALL DEPENDS ${PIPSTACK_ZIP})
  return()
endif()

# --- The 32-bit build's packages, made in its own folder (the windows32
# preset's by default), so that a full 32-bit build there reuses them.
include(ExternalProject)
set(PIPSTACK_WIN32_BUILD_DIR ${CMAKE_SOURCE_DIR}/build/windows32
    CACHE PATH "The 32-bit Windows build whose programs the installer carries")
set(PIPSTACK_WIN32_BIN_DIR ${PIPSTACK_WIN32_BUILD_DIR}/bin)
set(PIPSTACK_WIN32_STAGE_DIR ${PIPSTACK_WIN32_BUILD_DIR}/packaging/stage)
set(PIPSTACK_WIN32_PACKAGE_NAME Pipstack-${PROJECT_VERSION}-win32)
set(PIPSTACK_WIN32_BUILT_ZIP ${PIPSTACK_WIN32_BUILD_DIR}/packages/${PIPSTACK_WIN32_PACKAGE_NAME}.zip)
set(PIPSTACK_WIN32_ZIP ${PIPSTACK_PACKAGE_DIR}/${PIPSTACK_WIN32_PACKAGE_NAME}.zip)
set(PIPSTACK_INSTALLER ${PIPSTACK_PACKAGE_DIR}/Pipstack-${PROJECT_VERSION}-setup.exe)
find_program(PIPSTACK_MAKENSIS makensis REQUIRED)

ExternalProject_Add(pipstack_win32
  SOURCE_DIR ${CMAKE_SOURCE_DIR}
  BINARY_DIR ${PIPSTACK_WIN32_BUILD_DIR}
  # Configured by the step below, only where it is not yet: the folder is
  # also the windows32 preset's, configured there with the same settings.
  CONFIGURE_COMMAND ""
  # $(MAKE): a part of this make, sharing its jobs (both presets use Makefiles).
  # With the packages, our pdh.dll: every shipped binary of the 32-bit build.
  BUILD_COMMAND $(MAKE) pipstack_packages wine_pdh
  INSTALL_COMMAND ""
  BUILD_ALWAYS ON
  BUILD_BYPRODUCTS ${PIPSTACK_WIN32_BUILT_ZIP} ${PIPSTACK_WIN32_STAGE_DIR}/pipstack.exe
  USES_TERMINAL_BUILD OFF)
ExternalProject_Add_Step(pipstack_win32 configure_when_new
  COMMAND sh -c "[ -f \"$1/Makefile\" ] || \"$2\" -S \"$3\" -B \"$1\" -G \"Unix Makefiles\" --toolchain \"$3/cmake/mingw-w64-i686.cmake\" -DCMAKE_BUILD_TYPE=$4 -DPIPSTACK_WERROR=$5"
          configure ${PIPSTACK_WIN32_BUILD_DIR} ${CMAKE_COMMAND} ${CMAKE_SOURCE_DIR} ${CMAKE_BUILD_TYPE} ${PIPSTACK_WERROR}
  DEPENDEES configure
  DEPENDERS build
  ALWAYS TRUE)

add_custom_command(
  OUTPUT ${PIPSTACK_WIN32_ZIP}
  COMMAND ${CMAKE_COMMAND} -E copy ${PIPSTACK_WIN32_BUILT_ZIP} ${PIPSTACK_WIN32_ZIP}
  DEPENDS ${PIPSTACK_WIN32_BUILT_ZIP} pipstack_win32
  VERBATIM)

# The installer takes the common files from the 64-bit tree, and each
# build's programs from its own.
add_custom_command(
  OUTPUT ${PIPSTACK_INSTALLER}
  COMMAND ${PIPSTACK_MAKENSIS} -V2 -NOCD
          -DVERSION=${PROJECT_VERSION}
          -DSTAGE=${PIPSTACK_STAGE_DIR}
          -DSTAGE32=${PIPSTACK_WIN32_STAGE_DIR}
          -DOUTFILE=${PIPSTACK_INSTALLER}
          ${CMAKE_CURRENT_LIST_DIR}/pipstack.nsi
  DEPENDS ${PIPSTACK_ZIP} ${PIPSTACK_STAGE_DIR}/pipstack.exe ${PIPSTACK_WIN32_STAGE_DIR}/pipstack.exe pipstack_win32
          ${CMAKE_CURRENT_LIST_DIR}/pipstack.nsi
  COMMENT "Making the installer of both builds"
  VERBATIM)
add_custom_target(pipstack_packages ALL DEPENDS ${PIPSTACK_ZIP} ${PIPSTACK_WIN32_ZIP} ${PIPSTACK_INSTALLER})
