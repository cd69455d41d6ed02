# The tests come in groups, each needing a few Debian packages beyond what the
# lessons need. A group whose packages are missing is left off with one line
# that names them, so the lessons build on a machine that has only what they
# need; the test command sets LESSONS_ALL_TESTS, and there a missing group
# stops the configuration instead.

# The stb headers (Debian's libstb-dev), for the probes and the benchmark.
find_path(STB_INCLUDE_DIR stb_image.h PATH_SUFFIXES stb)

# test_group(VAR "what" "packages" NAME...): sets VAR to whether every variable
# NAME... holds a true value (a found package, a found program or path).
function(test_group var what packages)
  set(ok TRUE)
  foreach(found IN LISTS ARGN)
    if(NOT ${found})
      set(ok FALSE)
    endif()
  endforeach()
  if(NOT ok)
    if(LESSONS_ALL_TESTS)
      message(FATAL_ERROR "${what} cannot be built: install ${packages}")
    endif()
    message(STATUS "${what} off: install ${packages} to turn them on")
  endif()
  set(${var} ${ok} PARENT_SCOPE)
endfunction()
