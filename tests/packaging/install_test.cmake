# Installs the build into a temporary DESTDIR as a packager would, checks that
# every file lands where the desktop and the program look for it, validates
# the desktop entry and the metainfo with the freedesktop tools, and builds
# the Debian package.
# Variables: BUILD, WORK, LANG_RELATIVE, DESKTOP_FILE_VALIDATE, APPSTREAMCLI,
# DPKG_SHLIBDEPS, CPACK.

function(require_tool path package)
  if(NOT path OR NOT EXISTS "${path}")
    message(FATAL_ERROR "missing tool from the Debian package ${package}; ./test installs it")
  endif()
endfunction()
require_tool("${DESKTOP_FILE_VALIDATE}" desktop-file-utils)
require_tool("${APPSTREAMCLI}" appstream)
require_tool("${DPKG_SHLIBDEPS}" dpkg-dev)

# Runs a command and stops the test with its output when it fails.
function(run what)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${what} failed (${rc}):\n${out}")
  endif()
  set(output "${out}" PARENT_SCOPE)
endfunction()

function(expect_file path)
  if(NOT EXISTS "${path}" OR IS_DIRECTORY "${path}")
    message(FATAL_ERROR "not installed: ${path}")
  endif()
endfunction()

file(REMOVE_RECURSE "${WORK}")
set(root "${WORK}/root")
run("cmake --install" ${CMAKE_COMMAND} -E env DESTDIR=${root} ${CMAKE_COMMAND} --install "${BUILD}" --prefix /usr)
set(usr "${root}/usr")
set(share "${usr}/share")

foreach(program quarn-tile-mapper quarn-tool)
  expect_file("${usr}/bin/${program}")
endforeach()
# The program looks for its languages at this path from its own folder.
expect_file("${usr}/bin/${LANG_RELATIVE}/Russian.lng")
# The built-in formats as codec files, beside the README.
expect_file("${share}/doc/quarn-tile-mapper/examples/codecs/snes-4bpp.codec")

# The manual page: clean troff, and every command and option of the tool's
# own help in it.
set(man_page "${share}/man/man1/quarn-tool.1.gz")
expect_file("${man_page}")
execute_process(COMMAND gzip -dc "${man_page}" OUTPUT_VARIABLE man_text)
execute_process(COMMAND gzip -dc "${man_page}" COMMAND groff -man -ww -z
                RESULT_VARIABLE rc ERROR_VARIABLE troff_warnings)
if(NOT rc EQUAL 0 OR troff_warnings)
  message(FATAL_ERROR "groff on the manual page (${rc}):\n${troff_warnings}")
endif()
run("quarn-tool --help" "${usr}/bin/quarn-tool" --help)
string(REGEX MATCH "Commands:\n(.*)\n\nCodecs" commands_part "${output}")
string(REGEX MATCHALL "\n  [a-z-]+" commands "\n${CMAKE_MATCH_1}")
list(LENGTH commands command_count)
if(command_count LESS 10)
  message(FATAL_ERROR "cannot find the commands in quarn-tool --help:\n${output}")
endif()
foreach(command ${commands})
  string(STRIP "${command}" command)
  if(NOT man_text MATCHES "\n\\.B ${command}\n")
    message(FATAL_ERROR "the manual page does not describe the command ${command}")
  endif()
  run("quarn-tool ${command} --help" "${usr}/bin/quarn-tool" ${command} --help)
  string(REGEX MATCHALL "--[a-z][a-z-]*" options "${output}")
  foreach(option ${options})
    string(REPLACE "-" "\\-" troff_option "${option}")
    string(FIND "${man_text}" "${troff_option}" at)
    if(at EQUAL -1)
      message(FATAL_ERROR "the manual page lacks ${option} of ${command}")
    endif()
  endforeach()
endforeach()

set(desktop "${share}/applications/quarn-tile-mapper.desktop")
expect_file("${desktop}")
run("desktop-file-validate" "${DESKTOP_FILE_VALIDATE}" "${desktop}")
# Hints are fine; warnings and errors are not, even where the tool exits 0.
if(output MATCHES "(error|warning):")
  message(FATAL_ERROR "desktop-file-validate:\n${output}")
endif()

file(STRINGS "${desktop}" icon_line REGEX "^Icon=")
string(REGEX REPLACE "^Icon=" "" icon "${icon_line}")
set(icons "${share}/icons/hicolor")
expect_file("${icons}/scalable/apps/${icon}.svg")
foreach(size 48 256)
  set(png "${icons}/${size}x${size}/apps/${icon}.png")
  expect_file("${png}")
  # A PNG's width and height stand as 32-bit big-endian numbers at byte 16.
  file(READ "${png}" header OFFSET 16 LIMIT 8 HEX)
  string(SUBSTRING "${header}" 0 8 w)
  string(SUBSTRING "${header}" 8 8 h)
  math(EXPR w "0x${w}")
  math(EXPR h "0x${h}")
  if(NOT w EQUAL size OR NOT h EQUAL size)
    message(FATAL_ERROR "${png} is ${w} x ${h} pixels, not ${size} x ${size}")
  endif()
endforeach()

set(metainfo "${share}/metainfo/io.github.quarn.TileMapper.metainfo.xml")
expect_file("${metainfo}")
run("appstreamcli validate" "${APPSTREAMCLI}" validate --no-net "${metainfo}")
# The tree check also finds the desktop entry that <launchable> names.
run("appstreamcli validate-tree" "${APPSTREAMCLI}" validate-tree --no-net "${root}")

# The Debian package, with Depends worked out from the linked libraries.
run("cpack" ${CMAKE_COMMAND} -E chdir "${BUILD}" "${CPACK}" -G DEB -B "${WORK}/deb")
file(GLOB debs "${WORK}/deb/quarn-tile-mapper_*.deb")
list(LENGTH debs count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "cpack made ${count} packages: ${debs}")
endif()
run("dpkg-deb -f" dpkg-deb -f ${debs} Depends Section Maintainer)
foreach(field "libqt6widgets6" "Section: utils" "Maintainer: ")
  string(FIND "${output}" "${field}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the package's control lacks \"${field}\":\n${output}")
  endif()
endforeach()
run("dpkg-deb -c" dpkg-deb -c ${debs})
foreach(path usr/bin/quarn-tile-mapper usr/bin/quarn-tool usr/share/quarn-tile-mapper/lang/Russian.lng
        usr/share/applications/quarn-tile-mapper.desktop usr/share/man/man1/quarn-tool.1.gz)
  string(FIND "${output}" " ./${path}\n" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the package lacks ${path}")
  endif()
endforeach()
