# cmake -DBUILD_DIR=... -DPREFIX=... -DDEMO_SOURCE=... -P CheckInstallTree.cmake
file(REMOVE_RECURSE ${PREFIX})
# Named by its component, the install keeps off install_manifest.txt, the list
# of what the user installed last.
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --component Unspecified
                        --prefix ${PREFIX}
                RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${rc}")
endif()

set(id example.rixfront.RixFrontEnd)
set(expected
    bin/rixfront
    share/applications/${id}.desktop
    share/doc/rixfront/README.md
    share/icons/hicolor/128x128/apps/${id}.png
    share/icons/hicolor/256x256/apps/${id}.png
    share/icons/hicolor/48x48/apps/${id}.png
    share/icons/hicolor/scalable/apps/${id}.svg
    share/man/man1/rixfront.1
    share/metainfo/${id}.metainfo.xml
    share/rixfront/demo/demoemu
    share/rixfront/demo/emu/demoemu)
file(GLOB_RECURSE demo RELATIVE ${DEMO_SOURCE} ${DEMO_SOURCE}/*)
foreach(f IN LISTS demo)
  list(APPEND expected share/rixfront/demo/${f})
endforeach()
list(SORT expected)

file(GLOB_RECURSE got RELATIVE ${PREFIX} ${PREFIX}/*)
list(SORT got)
if(NOT got STREQUAL expected)
  set(extra ${got})
  list(REMOVE_ITEM extra ${expected})
  set(missing ${expected})
  list(REMOVE_ITEM missing ${got})
  message(FATAL_ERROR "install tree differs\n  missing: ${missing}\n  unexpected: ${extra}")
endif()

# The installed program runs from its new place.
execute_process(COMMAND ${PREFIX}/bin/rixfront --version OUTPUT_VARIABLE out RESULT_VARIABLE rc)
if(NOT rc EQUAL 0 OR NOT out STREQUAL "RIX FrontEnd 0.8\n")
  message(FATAL_ERROR "installed rixfront --version: ${rc} '${out}'")
endif()
foreach(exe share/rixfront/demo/demoemu share/rixfront/demo/emu/demoemu)
  execute_process(COMMAND test -x ${PREFIX}/${exe} RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${exe} is not executable")
  endif()
endforeach()
list(LENGTH got count)
message(STATUS "install tree: ${count} files under ${PREFIX}")
