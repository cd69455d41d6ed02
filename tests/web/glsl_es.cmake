# One core pair made into GLSL ES 3.00 as the web page's build does it, then
# compiled and linked by glslang as OpenGL ES shaders.
#   cmake -DGLSLANG=... -DVERT=data/core/X.vert -DOUT=folder -P glsl_es.cmake
string(REGEX REPLACE "\\.vert$" ".frag" FRAG "${VERT}")
get_filename_component(here "${CMAKE_CURRENT_LIST_DIR}/../.." ABSOLUTE)
file(MAKE_DIRECTORY "${OUT}")
set(made)
foreach(shader "${VERT}" "${FRAG}")
  get_filename_component(name "${shader}" NAME)
  execute_process(COMMAND "${CMAKE_COMMAND}" -DIN=${shader} -DOUT=${OUT}/${name} -P ${here}/cmake/GlslEs.cmake
                  RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${shader}: not made into GLSL ES")
  endif()
  list(APPEND made "${OUT}/${name}")
endforeach()
execute_process(COMMAND "${GLSLANG}" -l ${made} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${made}: not valid GLSL ES 3.00 (glslang's log above)")
endif()
