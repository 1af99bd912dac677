# Installs the build tree into a fresh prefix and checks what a user gets: the three
# programs, the information files where zvconfig looks for them (<bin>/../share/<name>),
# the desktop entry with its icon, and the systemd user unit, both naming the programs
# inside that prefix.
#   cmake -DBUILD_DIR=<build> -DWORK_DIR=<scratch folder> -P InstallLayout.cmake
set(prefix ${WORK_DIR}/prefix)
file(REMOVE_RECURSE ${prefix})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix}
                RESULT_VARIABLE status OUTPUT_QUIET)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${status}")
endif()

set(missing "")
foreach(file bin/zvconfig bin/trelvaned bin/trelvanectl
             share/zvconfig/Info.plist share/trelvane/Info.plist
             share/applications/zvconfig.desktop share/icons/hicolor/scalable/apps/zvconfig.svg
             lib/systemd/user/trelvaned.service)
  if(NOT EXISTS ${prefix}/${file})
    list(APPEND missing ${file})
  endif()
endforeach()
if(missing)
  message(FATAL_ERROR "not installed: ${missing}")
endif()

# zvconfig reads its information file from <bin>/../share/zvconfig.
file(READ ${prefix}/bin/../share/zvconfig/Info.plist info)
if(NOT info MATCHES "<key>CFBundleShortVersionString</key>[ \t\r\n]*<string>[0-9]+\\.[0-9]+")
  message(FATAL_ERROR "the installed information file has no version:\n${info}")
endif()

file(READ ${prefix}/share/applications/zvconfig.desktop entry)
if(NOT entry MATCHES "\nExec=${prefix}/bin/zvconfig\n" OR NOT entry MATCHES "\nIcon=zvconfig\n")
  message(FATAL_ERROR "the desktop entry does not start the installed zvconfig:\n${entry}")
endif()
file(READ ${prefix}/lib/systemd/user/trelvaned.service unit)
if(NOT unit MATCHES "\nExecStart=${prefix}/bin/trelvaned\n")
  message(FATAL_ERROR "the unit does not start the installed trelvaned:\n${unit}")
endif()
file(REMOVE_RECURSE ${prefix})
