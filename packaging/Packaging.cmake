# Release packaging of the Windows build: the files a user gets, a zip of them
# (CPack) and an NSIS installer, both made by the normal build.
#
# Shipped: pipstack.exe, the virtual port pipstack-virtual-port.dll (so the
# program starts and ledview shows its LEDs with no hardware; the program
# tries it last, so a real port-I/O library put beside it wins), ledview.exe,
# the README with its pictures and the licence. Not shipped: our pdh.dll. It
# reads the Linux host's figures and is only for Wine; beside the program on
# Windows it would be found before the system's own pdh.dll and take the real
# counters away. Nor the virtual port's InpOut build, which would take a real
# InpOut's place.
if(NOT WIN32)
  return()
endif()

install(PROGRAMS $<TARGET_FILE:pipstack> $<TARGET_FILE:winio> $<TARGET_FILE:ledview> DESTINATION .)
install(FILES ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_CURRENT_LIST_DIR}/LICENSE.txt DESTINATION .)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/docs/ DESTINATION docs FILES_MATCHING PATTERN "dialog-*.png")

file(GLOB PIPSTACK_DOC_PICTURES ${CMAKE_SOURCE_DIR}/docs/dialog-*.png)
find_program(PIPSTACK_MAKENSIS makensis REQUIRED)

set(PIPSTACK_PACKAGE_DIR ${CMAKE_BINARY_DIR}/packages)
set(PIPSTACK_STAGE_DIR ${CMAKE_BINARY_DIR}/packaging/stage)
set(PIPSTACK_PACKAGE_NAME Pipstack-${PROJECT_VERSION}-win64)
set(PIPSTACK_ZIP ${PIPSTACK_PACKAGE_DIR}/${PIPSTACK_PACKAGE_NAME}.zip)
set(PIPSTACK_INSTALLER ${PIPSTACK_PACKAGE_DIR}/Pipstack-${PROJECT_VERSION}-setup.exe)

# CPack packs the staged tree rather than installing the project itself: its
# own install step builds the 'preinstall' target, which depends on 'all',
# and this target is part of 'all'.
configure_file(${CMAKE_CURRENT_LIST_DIR}/CPackRelease.cmake.in ${CMAKE_BINARY_DIR}/packaging/CPackRelease.cmake @ONLY)

add_custom_command(
  OUTPUT ${PIPSTACK_ZIP} ${PIPSTACK_INSTALLER}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${PIPSTACK_STAGE_DIR} ${PIPSTACK_PACKAGE_DIR}/_CPack_Packages
  COMMAND ${CMAKE_COMMAND} --install ${CMAKE_BINARY_DIR} --prefix ${PIPSTACK_STAGE_DIR} --config $<CONFIG>
  COMMAND ${CMAKE_CPACK_COMMAND} -Q --config ${CMAKE_BINARY_DIR}/packaging/CPackRelease.cmake
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${PIPSTACK_PACKAGE_DIR}/_CPack_Packages
  COMMAND ${PIPSTACK_MAKENSIS} -V2 -NOCD
          -DVERSION=${PROJECT_VERSION}
          -DSTAGE=${PIPSTACK_STAGE_DIR}
          -DOUTFILE=${PIPSTACK_INSTALLER}
          ${CMAKE_CURRENT_LIST_DIR}/pipstack.nsi
  DEPENDS pipstack winio ledview
          ${CMAKE_SOURCE_DIR}/README.md
          ${CMAKE_CURRENT_LIST_DIR}/LICENSE.txt
          ${PIPSTACK_DOC_PICTURES}
          ${CMAKE_CURRENT_LIST_DIR}/pipstack.nsi
          ${CMAKE_CURRENT_LIST_DIR}/CPackRelease.cmake.in
  COMMENT "Packing the release zip and the installer"
  VERBATIM)
add_custom_target(pipstack_packages ALL DEPENDS ${PIPSTACK_ZIP} ${PIPSTACK_INSTALLER})
