# Linux programs that every build makes, the cross builds included: their
# Wine tests and the demo start them. The host build makes each as one of its
# own targets; a cross build, whose compiler makes Windows programs, configures
# the program's folder on its own with the host compiler (ExternalProject),
# under the same target name. Either way the program lands in
# ${CMAKE_BINARY_DIR}/native of the build that asked for it.
#
# Included at the top of each such folder's CMakeLists.txt, after its guarded
# project() (which runs only when the folder is configured on its own).
if(NOT DEFINED PIPSTACK_NATIVE_DIR)
  set(PIPSTACK_NATIVE_DIR ${CMAKE_BINARY_DIR}/native)
endif()
if(NOT DEFINED PIPSTACK_SOURCE_DIR)
  set(PIPSTACK_SOURCE_DIR ${CMAKE_SOURCE_DIR})
endif()

# Configured on its own: the settings the whole project would have given.
if(CMAKE_SOURCE_DIR STREQUAL CMAKE_CURRENT_SOURCE_DIR)
  set(CMAKE_CXX_STANDARD 17)
  set(CMAKE_CXX_STANDARD_REQUIRED ON)
  set(CMAKE_CXX_EXTENSIONS OFF)
  add_compile_options(-Wall -Wextra)
  if(PIPSTACK_WERROR)
    add_compile_options(-Werror)
  endif()
  include_directories(${PIPSTACK_SOURCE_DIR})
endif()

# In a cross build: the target that builds this folder with the host compiler.
function(pipstack_add_native_build target)
  include(ExternalProject)
  ExternalProject_Add(${target}
    SOURCE_DIR ${CMAKE_CURRENT_SOURCE_DIR}
    BINARY_DIR ${CMAKE_CURRENT_BINARY_DIR}/native-build
    CMAKE_ARGS -DCMAKE_BUILD_TYPE=RelWithDebInfo
               -DPIPSTACK_NATIVE_DIR=${PIPSTACK_NATIVE_DIR}
               -DPIPSTACK_SOURCE_DIR=${CMAKE_SOURCE_DIR}
               -DPIPSTACK_WERROR=${PIPSTACK_WERROR}
    INSTALL_COMMAND ""
    # Its own make decides what is out of date.
    BUILD_ALWAYS ON
    BUILD_BYPRODUCTS ${PIPSTACK_NATIVE_DIR}/${target}
    USES_TERMINAL_BUILD OFF)
endfunction()
