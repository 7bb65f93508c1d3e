# The Windows build's check of `quarnel embed` on a real PE: quarnel.exe (which carries a manifest
# and a version resource) is the stub; the launcher written from it must still run under the
# emulator, read its own archive back with --module, and keep its other resources.
#   cmake -DQUARNEL=quarnel.exe -DEMULATOR=wine-run.sh;PREFIX -DWORK=folder [-DOBJDUMP=...] -P
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
file(COPY_FILE ${QUARNEL} ${WORK}/stub.exe)
file(WRITE ${WORK}/a.txt "carried by the launcher\n")

function(run expected)
  execute_process(COMMAND ${EMULATOR} ${ARGN} WORKING_DIRECTORY ${WORK}
                  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${ARGN}: exit ${status}\n${out}${err}")
  endif()
  if(NOT out MATCHES "${expected}")
    message(FATAL_ERROR "${ARGN}: expected output matching '${expected}', got:\n${out}")
  endif()
endfunction()

run("" stub.exe pack -o a.zolt a.txt)
run("" stub.exe embed --stub stub.exe --archive a.zolt -o launcher.exe)
run("^quarnel [0-9.]+\n$" launcher.exe --version)
run("lzh +24 .* a\\.txt" launcher.exe list --module launcher.exe)
# Embedding again replaces the archive.
file(WRITE ${WORK}/b.txt "second\n")
run("" launcher.exe pack -o b.zolt -m none b.txt)
run("" launcher.exe embed --stub launcher.exe --archive b.zolt -o launcher2.exe)
run("^none +7 +7 [^\n]* b\\.txt\n$" launcher2.exe list --module launcher2.exe)

if(OBJDUMP)
  execute_process(COMMAND ${OBJDUMP} -p ${WORK}/launcher2.exe OUTPUT_VARIABLE dump)
  foreach(resource "TQUARNEL" "MYARCHIV" "Entry: ID: 0x000010" "Entry: ID: 0x000018")
    string(FIND "${dump}" "${resource}" at)
    if(at LESS 0)
      message(FATAL_ERROR "objdump -p does not show ${resource} in launcher2.exe")
    endif()
  endforeach()
endif()
