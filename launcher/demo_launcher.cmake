# quarnel_demo_launcher(): the demo archive and the launcher that carries it.
#
# demo/files and the platform's stand-in setup.exe are staged (launcher/stage_demo.cmake) and
# packed with `quarnel pack` (LZH) into demo.zolt beside the stub. Linux: `quarnel embed` appends
# it to a copy of pre-setup-stub as pre-setup. Windows: the cross-built quarnel.exe packs under
# the emulator (Wine), and pre-setup.exe is linked with the archive as its RC resource
# MYARCHIV of type TQUARNEL. Called at the end of the top-level folder, when the quarnel target
# is known.
function(quarnel_demo_launcher)
  set(src ${LAUNCHER_SOURCE_DIR})
  set(bin ${LAUNCHER_BINARY_DIR})
  if(NOT TARGET quarnel)
    message(STATUS "launcher: no quarnel command in this build, so no demo launcher")
    return()
  endif()

  file(GLOB_RECURSE demoFiles CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/demo/files/*)
  if(WIN32)
    set(setup $<TARGET_FILE:demo-setup>)
    set(setupDependency demo-setup)
    set(quarnelCommand ${CMAKE_COMMAND} -E env WINEDEBUG=-all ${CMAKE_CROSSCOMPILING_EMULATOR}
                       $<TARGET_FILE:quarnel>)
  else()
    set(setup ${PROJECT_SOURCE_DIR}/demo/posix/setup.exe)
    set(setupDependency ${setup})
    set(quarnelCommand $<TARGET_FILE:quarnel>)
  endif()

  # Relative paths for quarnel: under Wine the program sees the arguments as Windows paths.
  add_custom_command(
    OUTPUT ${bin}/demo.zolt
    COMMAND ${CMAKE_COMMAND} -DFILES=${PROJECT_SOURCE_DIR}/demo/files -DSETUP=${setup}
            -DDEST=${bin}/demo-stage -P ${src}/stage_demo.cmake
    COMMAND ${quarnelCommand} pack -o demo.zolt -m lzh -C demo-stage .
    WORKING_DIRECTORY ${bin}
    DEPENDS ${demoFiles} ${setupDependency} quarnel ${src}/stage_demo.cmake
    COMMENT "Packing the demo archive"
    VERBATIM)

  if(WIN32)
    file(WRITE ${bin}/demo-archive.rc "MYARCHIV TQUARNEL \"${bin}/demo.zolt\"\n")
    set_source_files_properties(${bin}/demo-archive.rc PROPERTIES OBJECT_DEPENDS
                                ${bin}/demo.zolt)
    add_executable(pre-setup WIN32 ${src}/win32/main.cpp ${src}/win32/window_front_end.cpp
                                   ${src}/win32/small_runtime.cpp
                                   ${src}/win32/pre-setup.rc ${bin}/demo-archive.rc)
    target_include_directories(pre-setup PRIVATE ${src}/win32)
    target_compile_options(pre-setup PRIVATE -Os -ffunction-sections -fdata-sections)
    target_link_libraries(pre-setup PRIVATE launcher)
    target_link_options(pre-setup PRIVATE ${LAUNCHER_WIN32_LINK})
    set_target_properties(pre-setup PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${bin})
  else()
    add_custom_command(
      OUTPUT ${bin}/pre-setup
      COMMAND $<TARGET_FILE:quarnel> embed --stub $<TARGET_FILE:pre-setup-stub> --archive
              demo.zolt -o pre-setup
      WORKING_DIRECTORY ${bin}
      DEPENDS ${bin}/demo.zolt pre-setup-stub quarnel
      COMMENT "Embedding the demo archive into pre-setup"
      VERBATIM)
    add_custom_target(pre-setup ALL DEPENDS ${bin}/pre-setup)
  endif()

  if(QUARNEL_TESTS AND EXISTS ${PROJECT_SOURCE_DIR}/tests/e2e/e2e.cmake)
    include(${PROJECT_SOURCE_DIR}/tests/e2e/e2e.cmake)
  endif()
endfunction()

# The launcher's unit tests build their archives with the archive writer of the tools.
function(quarnel_launcher_test_links)
  if(TARGET tests_launcher AND TARGET tools)
    target_link_libraries(tests_launcher PRIVATE tools)
  endif()
endfunction()
