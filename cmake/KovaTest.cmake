# kova_add_test(name SOURCES a.cpp ... LIBS lib ... [GUI])
# One Qt Test executable registered with CTest. GUI tests run on the offscreen platform.
# Every test gets its own runtime directory and a timeout, and is labelled core or gui. A test that
# exits with KOVA_TEST_SKIP_EXIT is reported skipped (a test that needs the shared corpus, without it).
# Qt Test caps its count of failures at 127, so the code never stands for failures.
set(KOVA_TEST_SKIP_EXIT 200)
function(kova_add_test name)
  cmake_parse_arguments(T "GUI" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} Qt6::Test)
  target_compile_definitions(${name} PRIVATE
    KOVA_CORPUS_DIR="${KOVA_CORPUS_DIR}"
    KOVA_TEST_DATA="${CMAKE_CURRENT_SOURCE_DIR}/data"
    KOVA_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  kova_set_warnings(${name})
  add_test(NAME ${name} COMMAND ${name})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set(runtime "${CMAKE_BINARY_DIR}/test-runtime/${name}")
  file(MAKE_DIRECTORY "${runtime}")
  file(CHMOD "${runtime}" DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
  set(env
    "XDG_RUNTIME_DIR=${runtime}"
    "HOME=${runtime}"
    "XDG_CONFIG_HOME=${runtime}/config"
    "XDG_DATA_HOME=${runtime}/data"
    "LSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/tests/lsan.supp")
  if(T_GUI)
    list(APPEND env "QT_QPA_PLATFORM=offscreen")
    set(label gui)
  else()
    set(label core)
  endif()
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "${env}" TIMEOUT ${T_TIMEOUT} LABELS ${label}
                                          SKIP_RETURN_CODE ${KOVA_TEST_SKIP_EXIT})
endfunction()
