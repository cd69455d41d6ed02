# Run at build time: removes from BIN every shader that is no longer in
# SOURCE, so a shader deleted or renamed in data/ is gone beside the programs
# too, and a lesson cannot go on running an old copy.
#   cmake -DSOURCE=<data folder> -DBIN=<bin folder> -P PruneShaders.cmake
file(GLOB built ${BIN}/*.vert ${BIN}/*.frag)
foreach(path IN LISTS built)
  get_filename_component(name ${path} NAME)
  if(NOT EXISTS ${SOURCE}/${name})
    message(STATUS "Removing ${name} from ${BIN}: it is no longer in ${SOURCE}")
    file(REMOVE ${path})
  endif()
endforeach()
