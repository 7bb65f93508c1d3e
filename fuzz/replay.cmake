# Replay drivers: every fuzz target built with a plain main() that feeds it each file of its saved
# corpus, registered as a CTest test. Included from tests/CMakeLists.txt for native builds.
set(FUZZ_DIR ${PROJECT_SOURCE_DIR}/fuzz)
set(FUZZ_TARGETS extract_archive expand_lzh expand_rle roundtrip_lzh roundtrip_rle entry_header
    resource_readers)
foreach(name ${FUZZ_TARGETS})
  add_executable(fuzz_replay_${name} ${FUZZ_DIR}/fuzz_${name}.cpp ${FUZZ_DIR}/replay_main.cpp)
  target_link_libraries(fuzz_replay_${name} PRIVATE expander codecs platform tools)
  add_test(NAME FuzzReplay.${name}
           COMMAND fuzz_replay_${name} ${FUZZ_DIR}/corpus/${name})
endforeach()
