# One library per folder: every .cpp directly in the folder belongs to it, so
# adding a unit needs no edit here.
# EXCLUDE names files of the folder that belong to another library.
function(qv_library name dir)
  cmake_parse_arguments(ARG "" "" "DEPS;EXCLUDE" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.cpp ${CMAKE_SOURCE_DIR}/${dir}/*.c)
  foreach(x ${ARG_EXCLUDE})
    list(REMOVE_ITEM srcs ${CMAKE_SOURCE_DIR}/${dir}/${x})
  endforeach()
  if(srcs)
    add_library(${name} STATIC ${srcs})
    target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${CMAKE_SOURCE_DIR}/src)
    target_link_libraries(${name} INTERFACE ${ARG_DEPS})
  endif()
endfunction()

# One test program per folder of tests/. Files in progs/ become companion
# programs (prog_NAME.cpp) or shared objects (lib_NAME.cpp) that the tests
# start or load; their folder reaches the tests as QV_TESTBIN.
set(QV_TESTBIN ${CMAKE_BINARY_DIR}/testbin)
function(qv_test name dir)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.cpp)
  if(NOT srcs)
    return()
  endif()
  file(GLOB progs CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/progs/*.cpp)
  set(companions)
  foreach(p ${progs})
    get_filename_component(stem ${p} NAME_WE)
    if(stem MATCHES "^lib_")
      add_library(${stem} SHARED ${p})
      set_target_properties(${stem} PROPERTIES LIBRARY_OUTPUT_DIRECTORY ${QV_TESTBIN} PREFIX "")
    else()
      add_executable(${stem} ${p})
      set_target_properties(${stem} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${QV_TESTBIN})
    endif()
    # Shared objects stand for libraries from outside the system (requirement
    # libraries): they link none of ours.
    if(NOT stem MATCHES "^lib_")
      target_link_libraries(${stem} PRIVATE ${ARG_DEPS})
    endif()
    # A resource script beside a companion (progs/prog_X.qvrc) gives it resources.
    if(EXISTS ${CMAKE_SOURCE_DIR}/${dir}/progs/${stem}.qvrc)
      qv_add_resources(${stem} ${CMAKE_SOURCE_DIR}/${dir}/progs/${stem}.qvrc)
    endif()
    list(APPEND companions ${stem})
  endforeach()
  add_executable(${name} ${srcs})
  target_link_libraries(${name} PRIVATE qv_testsupport ${ARG_DEPS} GTest::gtest GTest::gmock GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE QV_TESTBIN="${QV_TESTBIN}" QV_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  # So does one for the test program itself (resources/<name>.qvrc in the folder).
  if(EXISTS ${CMAKE_SOURCE_DIR}/${dir}/resources/${name}.qvrc)
    qv_add_resources(${name} ${CMAKE_SOURCE_DIR}/${dir}/resources/${name}.qvrc)
  endif()
  if(companions)
    add_dependencies(${name} ${companions})
  endif()
  include(GoogleTest)
  gtest_discover_tests(${name} NO_PRETTY_VALUES DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 120)
endfunction()

# Gives a program (or shared object) its resources: qvrc compiles the
# resource script into a container and a C++ source that embeds it behind a
# marker, so that FindResource finds it in the running program and
# GetFileVersionInfo finds it in the program's file. Script syntax: see
# tools/qvrc/qvrc.cpp. Programs register the container at static
# initialisation as the main module's resources; shared objects only carry it.
function(qv_add_resources target script)
  get_filename_component(abs ${script} ABSOLUTE)
  set(out ${CMAKE_CURRENT_BINARY_DIR}/qvrc/${target})
  get_target_property(kind ${target} TYPE)
  set(extra)
  if(kind STREQUAL "SHARED_LIBRARY" OR kind STREQUAL "MODULE_LIBRARY")
    set(extra --no-register)
  endif()
  add_custom_command(
    OUTPUT ${out}/${target}_resources.cpp ${out}/${target}.res
    COMMAND ${CMAKE_COMMAND} -E make_directory ${out}
    COMMAND qvrc ${abs} -o ${out}/${target}.res --embed ${out}/${target}_resources.cpp ${extra}
            --depfile ${out}/${target}.d
    DEPENDS qvrc ${abs}
    DEPFILE ${out}/${target}.d
    COMMENT "Compiling resources of ${target}"
    VERBATIM)
  target_sources(${target} PRIVATE ${out}/${target}_resources.cpp)
  if(NOT extra)
    target_link_libraries(${target} PRIVATE qv_kernel)
  endif()
endfunction()
