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
