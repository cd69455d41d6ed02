# Run at build time: keeps the project's own shaders, as committed, in OUT
# (OUT/data/NAME), for the exercises' targets. data/ is the learners' to
# edit (explore mode reads it as they type), so a target drawn from there
# could be anybody's; the committed text is not. Outside a git clone (a
# zip, a tarball) the files are taken as they are.
#   cmake -DPROJECT=<project folder> -DOUT=<folder> -P Originals.cmake
cmake_policy(VERSION 3.25)
find_program(GIT git)
file(GLOB_RECURSE shaders RELATIVE ${PROJECT} ${PROJECT}/data/*.vert ${PROJECT}/data/*.frag)
foreach(name IN LISTS shaders)
  set(text "")
  set(status 1)
  if(GIT)
    execute_process(COMMAND ${GIT} -C ${PROJECT} show HEAD:./${name} RESULT_VARIABLE status
                    OUTPUT_VARIABLE text ERROR_QUIET)
  endif()
  if(NOT status EQUAL 0)
    file(READ ${PROJECT}/${name} text)
  endif()
  # Written only when it changed, and whole: a check never reads half.
  set(dest ${OUT}/${name})
  set(old "")
  if(EXISTS ${dest})
    file(READ ${dest} old)
  endif()
  if(NOT old STREQUAL text)
    get_filename_component(folder ${dest} DIRECTORY)
    file(MAKE_DIRECTORY ${folder})
    file(WRITE ${dest}.part "${text}")
    file(RENAME ${dest}.part ${dest})
  endif()
endforeach()
