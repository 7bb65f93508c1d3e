# The fixture test of the cross build: makes the Wine prefix (cmake/wine-run.sh) before the
# first test binary starts, so that no test spends its time limit on it.
function(quarnel_add_wine_prefix_test)
  add_test(NAME wine_prefix COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR})
  set_tests_properties(wine_prefix PROPERTIES FIXTURES_SETUP wine TIMEOUT 300)
endfunction()

# Makes a test wait for the fixture.
function(quarnel_wine_test test)
  set_tests_properties(${test} PROPERTIES FIXTURES_REQUIRED wine)
endfunction()

# A test that every program of the cross build is one static PE32 image (cmake/check-pe32.sh).
# Called at the end of the top-level folder, when every program target is known.
function(quarnel_add_static_programs_test)
  set(programs)
  foreach(dir IN ITEMS ${PROJECT_SOURCE_DIR}/tests ${PROJECT_SOURCE_DIR}/tools
                       ${PROJECT_SOURCE_DIR}/launcher ${PROJECT_SOURCE_DIR})
    if(IS_DIRECTORY ${dir})
      get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
      foreach(target IN LISTS targets)
        get_target_property(type ${target} TYPE)
        if(type STREQUAL "EXECUTABLE")
          list(APPEND programs $<TARGET_FILE:${target}>)
        endif()
      endforeach()
    endif()
  endforeach()
  if(programs)
    add_test(NAME win32_static_programs
             COMMAND ${PROJECT_SOURCE_DIR}/cmake/check-pe32.sh ${CMAKE_OBJDUMP} ${programs})
  endif()
endfunction()
