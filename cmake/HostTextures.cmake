# texture_images_by_host_tool(FOLDER): the rule that makes tex0.tga and
# tex1.tga in FOLDER with the project's tool built for this machine by its
# own compiler, for builds whose programs this machine may not run (the web
# page's, a 32-bit one on a kernel without 32-bit support).
function(texture_images_by_host_tool folder)
  find_program(HOST_CXX NAMES c++ g++ clang++ REQUIRED)
  add_custom_command(OUTPUT ${folder}/tex0.tga ${folder}/tex1.tga
    COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
    COMMAND ${HOST_CXX} -std=c++17 -O2 -I${PROJECT_SOURCE_DIR}/tools ${PROJECT_SOURCE_DIR}/tools/make_textures.cpp
            -o ${CMAKE_CURRENT_BINARY_DIR}/make_textures_here
    COMMAND ${CMAKE_CURRENT_BINARY_DIR}/make_textures_here ${folder}
    DEPENDS ${PROJECT_SOURCE_DIR}/tools/make_textures.cpp
    COMMENT "Making tex0.tga and tex1.tga")
endfunction()
