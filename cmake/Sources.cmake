# The lessons' sources, once for every build: the portable part, which the
# desktop and the page share, and each front end's own.
set(LESSON_PORTABLE_SOURCES)
foreach(file run.cpp frame.cpp label.cpp picture.cpp explore.cpp practice.cpp check.cpp probe.cpp exercises.cpp
             exercise_file.cpp shell.cpp options.cpp scene.cpp core_profile.cpp maths.cpp shaders.cpp problems.cpp
             Targa.cpp file_status.cpp advice.cpp folders.cpp png.cpp)
  list(APPEND LESSON_PORTABLE_SOURCES ${PROJECT_SOURCE_DIR}/common/${file})
endforeach()
set(LESSON_DESKTOP_SOURCES)
foreach(file terminal.cpp apart.cpp ways.cpp builtin_state.cpp fixed_lighting.cpp TargaMipmap.cpp watcher.cpp
             screenshot.cpp)
  list(APPEND LESSON_DESKTOP_SOURCES ${PROJECT_SOURCE_DIR}/desktop/${file})
endforeach()
