# A source file whose name ends in _posix or _windows (before .cpp, or
# before _test.cpp for a test) is built only for that kind of system; all
# others are built for every system. The platform layer keeps one backend
# per system this way, and tests that need one system's facilities too.
function(ossivar_this_system_only list_name)
  if(WIN32)
    list(FILTER ${list_name} EXCLUDE REGEX "_posix(_test)?\\.cpp$")
  else()
    list(FILTER ${list_name} EXCLUDE REGEX "_windows(_test)?\\.cpp$")
  endif()
  set(${list_name} ${${list_name}} PARENT_SCOPE)
endfunction()
