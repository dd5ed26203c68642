# kq_add_subdirectories(): adds every folder below the current one that has a
# CMakeLists.txt, so a subsystem's tests, tools or benchmarks arrive with it.
function(kq_add_subdirectories)
  file(GLOB entries LIST_DIRECTORIES true ${CMAKE_CURRENT_SOURCE_DIR}/*)
  foreach(dir ${entries})
    if(IS_DIRECTORY ${dir} AND EXISTS ${dir}/CMakeLists.txt)
      add_subdirectory(${dir})
    endif()
  endforeach()
endfunction()
