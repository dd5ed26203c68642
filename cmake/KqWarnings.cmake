# Warnings for the project's own targets; call kq_warnings(target). They turn
# into errors with CMAKE_COMPILE_WARNING_AS_ERROR.
function(kq_warnings target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4)
  else()
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
    # GCC 12 at -O3 reports overlaps inside std::string that cannot happen
    # (its bug 105329); the warning stays on for every other compiler.
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
      target_compile_options(${target} PRIVATE -Wno-restrict)
    endif()
  endif()
endfunction()
