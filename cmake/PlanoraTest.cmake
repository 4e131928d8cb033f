# planora_add_test(<name> SOURCES <files...> LIBS <targets...>)
# One QtTest executable per area, registered with CTest, run offscreen with a
# fixed style and a private settings folder so that no test touches the user's.
function(planora_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE planora_testsupport Qt6::Test ${ARG_LIBS})
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QT_STYLE_OVERRIDE=Fusion;LC_ALL=C.UTF-8;XDG_CONFIG_HOME=${CMAKE_CURRENT_BINARY_DIR}/${name}.config"
    TIMEOUT 600)
endfunction()
