# End-to-end tests of the demo launcher, included by quarnel_demo_launcher() at the end of the
# top-level folder (the quarnel and launcher targets exist then). Their working folders and the
# screenshots land in the build folder under e2e/.
find_program(QUARNEL_PYTHON3 python3)
if(NOT QUARNEL_PYTHON3)
  message(STATUS "e2e: no python3, end-to-end tests left out")
  return()
endif()
set(e2eDir ${PROJECT_SOURCE_DIR}/tests/e2e)
set(e2eWork ${CMAKE_BINARY_DIR}/e2e)

if(NOT WIN32)
  add_test(NAME e2e_terminal
           COMMAND ${QUARNEL_PYTHON3} ${e2eDir}/terminal_e2e.py --quarnel $<TARGET_FILE:quarnel>
                   --stub $<TARGET_FILE:pre-setup-stub> --launcher ${LAUNCHER_BINARY_DIR}/pre-setup
                   --stage ${LAUNCHER_BINARY_DIR}/demo-stage --work ${e2eWork})
  set_tests_properties(e2e_terminal PROPERTIES TIMEOUT 300 FAIL_REGULAR_EXPRESSION "FAIL ")
else()
  find_program(QUARNEL_XVFB_RUN xvfb-run)
  find_program(QUARNEL_XDOTOOL xdotool)
  find_program(QUARNEL_IMPORT import)
  if(NOT QUARNEL_XVFB_RUN OR NOT QUARNEL_XDOTOOL OR NOT QUARNEL_IMPORT)
    message(STATUS "e2e: xvfb-run, xdotool or import missing, the Wine GUI test is left out")
    return()
  endif()
  # One X server for the whole run; the screenshots are kept in e2e/screenshots.
  add_test(NAME e2e_wine_gui
           COMMAND ${QUARNEL_XVFB_RUN} -a -s "-screen 0 800x600x24" ${QUARNEL_PYTHON3}
                   ${e2eDir}/wine_e2e.py --quarnel $<TARGET_FILE:quarnel>
                   --stub $<TARGET_FILE:pre-setup-stub> --launcher $<TARGET_FILE:pre-setup>
                   --stage ${LAUNCHER_BINARY_DIR}/demo-stage --work ${e2eWork} --shots ${e2eWork}/screenshots)
  set_tests_properties(e2e_wine_gui PROPERTIES TIMEOUT 900 FAIL_REGULAR_EXPRESSION "FAIL ")
endif()
