# Every folder under src/ is one static library whose sources are the folder's
# .cpp/.h files; tests/<folder> is one GoogleTest executable for it. Adding a
# file to a folder needs no edit here.

function(rix_warnings target)
  if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wno-unused-parameter)
    if(RIX_WERROR)
      target_compile_options(${target} PRIVATE -Werror)
    endif()
  endif()
endfunction()

# rix_library(<name> [EXCLUDE file...] DEPS dep...)
function(rix_library name)
  cmake_parse_arguments(ARG "" "" "EXCLUDE;DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h
       ${CMAKE_CURRENT_SOURCE_DIR}/*.qrc)
  foreach(ex IN LISTS ARG_EXCLUDE)
    list(REMOVE_ITEM sources ${CMAKE_CURRENT_SOURCE_DIR}/${ex})
  endforeach()
  list(FILTER sources INCLUDE REGEX "\\.(cpp|qrc)$")
  if(NOT sources)
    # A folder that holds no code yet still links its dependencies through.
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} INTERFACE ${ARG_DEPS})
    return()
  endif()
  file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  add_library(${name} STATIC ${sources} ${headers})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  rix_warnings(${name})
endfunction()

# rix_tests(<folder> [GUI] DEPS lib...)
function(rix_tests folder)
  cmake_parse_arguments(ARG "GUI" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.cpp
       ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.h)
  if(NOT sources)
    return()
  endif()
  set(exe tests_${folder})
  add_executable(${exe} ${sources})
  if(ARG_GUI)
    target_link_libraries(${exe} PRIVATE rix_test_main_gui)
  else()
    target_link_libraries(${exe} PRIVATE rix_test_main_core)
  endif()
  target_link_libraries(${exe} PRIVATE ${ARG_DEPS} GTest::gtest Qt6::Test)
  target_compile_definitions(${exe} PRIVATE
    RIX_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data"
    RIX_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  rix_warnings(${exe})
  gtest_discover_tests(${exe}
    DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LANG=C.UTF-8"
               TIMEOUT 120)
endfunction()
