# Run at build time: places the lessons' data beside the programs, and takes
# away only what it placed there itself. A learner's own files in BIN (their
# shaders, their images, a copy they edited) are never removed or overwritten.
#   cmake -DSOURCE=<data folder> -DGENERATED=<made images> -DBIN=<bin folder>
#         -DMANIFEST=<file> -P PlaceData.cmake
# MANIFEST lists each file placed, with the MD5 of what was written: a file
# in BIN that still has it is the build's own; any other is the learner's.
# While files are being placed it lists both the old MD5 and the new, so a
# build interrupted half way (a copy renamed in, the manifest not yet
# rewritten) leaves nothing the next build takes for the learner's.
# The shaders come from SOURCE and SOURCE/core (the core profile's); tex0.tga and tex1.tga from SOURCE when a
# learner put their own there, otherwise from GENERATED.
cmake_policy(VERSION 3.25)
file(MAKE_DIRECTORY ${BIN})
set(placed "")
if(EXISTS ${MANIFEST})
  file(STRINGS ${MANIFEST} placed)
endif()
# What the build placed last time: NAME MD5 [MD5].
set(built_names "")
foreach(entry IN LISTS placed)
  if(entry MATCHES "^([^ ]+) ([0-9a-f ]+)$")
    list(APPEND built_names ${CMAKE_MATCH_1})
    string(REPLACE " " ";" built_${CMAKE_MATCH_1} "${CMAKE_MATCH_2}")
  endif()
endforeach()
# Copies an interrupted build left half placed are the build's own.
file(GLOB stale ${BIN}/*.placing-* ${BIN}/core/*.placing-*)
if(stale)
  file(REMOVE ${stale})
endif()

file(GLOB shaders RELATIVE ${SOURCE} ${SOURCE}/*.vert ${SOURCE}/*.frag ${SOURCE}/core/*.vert ${SOURCE}/core/*.frag)
file(MAKE_DIRECTORY ${BIN}/core)
set(wanted "")
foreach(name IN LISTS shaders)
  list(APPEND wanted ${name})
  set(from_${name} ${SOURCE}/${name})
endforeach()
foreach(name tex0.tga tex1.tga)
  if(EXISTS ${SOURCE}/${name})
    list(APPEND wanted ${name})
    set(from_${name} ${SOURCE}/${name})
  elseif(EXISTS ${GENERATED}/${name})
    list(APPEND wanted ${name})
    set(from_${name} ${GENERATED}/${name})
  endif()
endforeach()

string(RANDOM LENGTH 8 run)
# The source is read once: copied beside its place, and that copy is what is
# hashed and renamed into place. A learner saving the file during the build
# changes neither half: the manifest holds exactly what was placed (the next
# build brings the newer save), and the place is never half made.
set(placing "")
foreach(name IN LISTS wanted)
  set(fresh_${name} ${BIN}/${name}.placing-${run})
  file(COPY_FILE ${from_${name}} ${fresh_${name}})
  file(MD5 ${fresh_${name}} want_${name})
  string(JOIN " " both ${want_${name}} ${built_${name}})
  string(APPEND placing "${name} ${both}\n")
endforeach()
foreach(name IN LISTS built_names)  # and what is no longer wanted, as it was
  if(NOT name IN_LIST wanted)
    string(JOIN " " old ${built_${name}})
    string(APPEND placing "${name} ${old}\n")
  endif()
endforeach()
# The manifest is written whole or not at all.
function(write_manifest text)
  file(WRITE ${MANIFEST}.part "${text}")
  file(RENAME ${MANIFEST}.part ${MANIFEST})
endfunction()
write_manifest("${placing}")

set(manifest "")
set(renamed 0)
foreach(name IN LISTS wanted)
  set(dest ${BIN}/${name})
  set(want ${want_${name}})
  set(ours TRUE)
  set(have "")
  if(EXISTS ${dest})
    file(MD5 ${dest} have)
    if(NOT have STREQUAL want AND NOT have IN_LIST built_${name})
      set(ours FALSE)
    endif()
  endif()
  if(ours AND NOT have STREQUAL want)
    file(RENAME ${fresh_${name}} ${dest})
    math(EXPR renamed "${renamed} + 1")
    if("$ENV{LESSONS_PLACING_STOPS_AFTER}" STREQUAL "${renamed}")  # the tests' interruption
      message(FATAL_ERROR "Placing stopped after ${dest}, as LESSONS_PLACING_STOPS_AFTER asks")
    endif()
  else()
    file(REMOVE ${fresh_${name}})
  endif()
  if(ours)
    string(APPEND manifest "${name} ${want}\n")
  else()
    message(NOTICE "Keeping ${dest}: it is not the build's copy of ${from_${name}} (edited there, "
                   "or yours). Move it away and build again for the project's.")
  endif()
endforeach()

# What the build placed before and no longer does (a shader deleted or
# renamed in data/): removed, unless it was changed since.
foreach(name IN LISTS built_names)
  if(NOT name IN_LIST wanted AND EXISTS ${BIN}/${name})
    file(MD5 ${BIN}/${name} have)
    if(have IN_LIST built_${name})
      message(NOTICE "Removing ${BIN}/${name}: it is no longer in ${SOURCE}.")
      file(REMOVE ${BIN}/${name})
    endif()
  endif()
endforeach()
write_manifest("${manifest}")
