# CPack: on Linux a Debian package of what cmake --install puts in place,
# its library dependencies found by dpkg-shlibdeps.
#   cmake --build --preset run --target package   ->  build/run/kq-dadeded_VERSION_ARCH.deb
if(NOT CMAKE_SYSTEM_NAME STREQUAL "Linux")
  return()
endif()

set(KQ_PACKAGE_CONTACT "KQ-DADEDED developers <kq-dadeded@example.org>"
    CACHE STRING "The Debian package's maintainer, \"Name <address>\"")

# Debian wants a changelog in every package, compressed without a time stamp.
set(kq_changelog ${CMAKE_BINARY_DIR}/package/changelog)
file(WRITE ${kq_changelog}
"kq-dadeded (${PROJECT_VERSION}) unstable; urgency=low

  * Version ${PROJECT_VERSION}.

 -- ${KQ_PACKAGE_CONTACT}  Mon, 01 Dec 2025 00:00:00 +0000
")
execute_process(COMMAND gzip -9nf ${kq_changelog} RESULT_VARIABLE kq_gzip_result)
if(NOT kq_gzip_result EQUAL 0)
  message(FATAL_ERROR "gzip could not compress ${kq_changelog}")
endif()
install(FILES ${kq_changelog}.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kq-dadeded)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "machine uptime in the title bar of one narrow window")
set(CPACK_PACKAGE_DESCRIPTION "KQ-DADEDED shows how long the machine has been running, exact to the
second, in the title bar of one narrow window, or on a terminal line where
no display opens. It keeps its window positions and two options per user.")
set(CPACK_PACKAGE_CONTACT ${KQ_PACKAGE_CONTACT})
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
include(CPack)
