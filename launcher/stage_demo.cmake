# Lays out the folder that the demo archive is packed from: a copy of demo/files with its file
# dates, the platform's stand-in setup.exe, and docs/licence.txt made read-only so that the
# archive carries one entry with the read-only bit.
# Usage: cmake -DFILES=<demo/files> -DSETUP=<setup.exe> -DDEST=<stage folder> -P stage_demo.cmake
file(REMOVE_RECURSE "${DEST}")
file(MAKE_DIRECTORY "${DEST}")
file(COPY "${FILES}/" DESTINATION "${DEST}")
file(COPY "${SETUP}" DESTINATION "${DEST}"
     FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ
                      WORLD_EXECUTE)
get_filename_component(setupName "${SETUP}" NAME)
if(NOT setupName STREQUAL "setup.exe")
  file(RENAME "${DEST}/${setupName}" "${DEST}/setup.exe")
endif()
file(CHMOD "${DEST}/docs/licence.txt" PERMISSIONS OWNER_READ GROUP_READ WORLD_READ)
