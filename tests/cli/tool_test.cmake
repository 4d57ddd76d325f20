# Runs quarn-tool as a user would, on the generated demo ROM.
# cmake -DTOOL=quarn-tool -DDEMO=make-demo-rom -DWORK=scratch-folder -P tool_test.cmake

foreach(var TOOL DEMO WORK)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "-D${var}=... is required")
  endif()
endforeach()

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")

# Little-endian unsigned number of `size` bytes at `offset` of a file.
function(read_le file offset size outvar)
  file(READ "${file}" hex OFFSET ${offset} LIMIT ${size} HEX)
  string(LENGTH "${hex}" length)
  math(EXPR expected "${size} * 2")
  if(NOT length EQUAL expected)
    message(FATAL_ERROR "${file}: too short to read ${size} bytes at ${offset}")
  endif()
  set(swapped "")
  foreach(i RANGE 0 ${size})
    if(i LESS size)
      math(EXPR at "${i} * 2")
      string(SUBSTRING "${hex}" ${at} 2 byte)
      set(swapped "${byte}${swapped}")
    endif()
  endforeach()
  math(EXPR value "0x${swapped}")
  set(${outvar} ${value} PARENT_SCOPE)
endfunction()

# Runs the tool; `expect` is a number or NONZERO.
function(run_tool expect)
  execute_process(COMMAND "${TOOL}" ${ARGN}
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(expect STREQUAL "NONZERO")
    if(rc EQUAL 0)
      message(FATAL_ERROR "quarn-tool ${ARGN}: expected failure, got exit 0")
    endif()
    if(err STREQUAL "")
      message(FATAL_ERROR "quarn-tool ${ARGN}: failed without a message on stderr")
    endif()
  elseif(NOT rc EQUAL expect)
    message(FATAL_ERROR "quarn-tool ${ARGN}: exit ${rc}, expected ${expect}\n${out}${err}")
  endif()
  set(tool_stdout "${out}" PARENT_SCOPE)
  set(tool_stderr "${err}" PARENT_SCOPE)
endfunction()

function(expect_bmp file width height)
  if(NOT EXISTS "${file}")
    message(FATAL_ERROR "${file} was not written")
  endif()
  file(READ "${file}" magic LIMIT 2)
  if(NOT magic STREQUAL "BM")
    message(FATAL_ERROR "${file} does not start with BM")
  endif()
  read_le("${file}" 28 2 bpp)
  read_le("${file}" 18 4 w)
  read_le("${file}" 22 4 h)
  if(NOT bpp EQUAL 24 OR NOT w EQUAL width OR NOT h EQUAL height)
    message(FATAL_ERROR "${file}: ${w} x ${h} at ${bpp} bits, expected ${width} x ${height} at 24")
  endif()
endfunction()

# Blue, green, red bytes of pixel (x, y) of a bottom-up 24-bit BMP, as hex.
function(bmp_pixel file x y outvar)
  read_le("${file}" 10 4 data)
  read_le("${file}" 18 4 w)
  read_le("${file}" 22 4 h)
  math(EXPR row_bytes "(${w} * 3 + 3) / 4 * 4")
  math(EXPR at "${data} + (${h} - 1 - ${y}) * ${row_bytes} + ${x} * 3")
  file(READ "${file}" hex OFFSET ${at} LIMIT 3 HEX)
  set(${outvar} "${hex}" PARENT_SCOPE)
endfunction()

# --- The demo ROM and its table ---------------------------------------------
set(rom "${WORK}/demo.nes")
execute_process(COMMAND "${DEMO}" "${rom}" "${WORK}/demo.tbl" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "make-demo-rom failed with ${rc}")
endif()
file(SIZE "${rom}" rom_size)
if(NOT rom_size EQUAL 16384)
  message(FATAL_ERROR "demo ROM has ${rom_size} bytes, expected 16384")
endif()
# "H000000" CR LF "00=0" CR LF
file(READ "${WORK}/demo.tbl" table_start LIMIT 15 HEX)
if(NOT table_start STREQUAL "483030303030300d0a30303d300d0a")
  message(FATAL_ERROR "demo table starts with '${table_start}'")
endif()

# --- Good renders --------------------------------------------------------------
run_tool(0 render "${rom}" -o "${WORK}/default.bmp")
expect_bmp("${WORK}/default.bmp" 128 128)
# Tile 0 is the digit 0 of the font: its top row is 0 0 3 3 3 3 1 0 with the
# default 4-colour palette (value 0 black, 1 = A03000, 3 = FFC8B8 as R G B).
bmp_pixel("${WORK}/default.bmp" 0 0 p0)
bmp_pixel("${WORK}/default.bmp" 2 0 p3)
bmp_pixel("${WORK}/default.bmp" 6 0 p1)
if(NOT p0 STREQUAL "000000" OR NOT p3 STREQUAL "b8c8ff" OR NOT p1 STREQUAL "0030a0")
  message(FATAL_ERROR "default render: top-left pixels ${p0} ${p3} ${p1} (blue green red)")
endif()

run_tool(0 render "${rom}" --tile 16x16 --block 2x1 -o "${WORK}/wide.bmp")
expect_bmp("${WORK}/wide.bmp" 512 256)

run_tool(0 render "${rom}" --codec "4BPP SNES" --position H1000 --tile 8X16 --block 1x2
         -o "${WORK}/snes.bmp")
expect_bmp("${WORK}/snes.bmp" 128 512)

run_tool(0 render "${rom}" --codec 9 --tile 1x1 --block 16x16 -o "${WORK}/sms.bmp")
expect_bmp("${WORK}/sms.bmp" 256 256)

# Past the end of the image is allowed and black.
run_tool(0 render "${rom}" --position 99999999 -o "${WORK}/beyond.bmp")
expect_bmp("${WORK}/beyond.bmp" 128 128)
bmp_pixel("${WORK}/beyond.bmp" 2 0 beyond)
if(NOT beyond STREQUAL "000000")
  message(FATAL_ERROR "a render past the end is not black: ${beyond}")
endif()

# A short file is padded like Open does; the extension picks the codec.
file(WRITE "${WORK}/short.chr" "short")
run_tool(0 render "${WORK}/short.chr" -o "${WORK}/short.bmp")
expect_bmp("${WORK}/short.bmp" 128 128)

run_tool(0 render "${rom}" --output "${WORK}/map.PNG")
file(READ "${WORK}/map.PNG" png_magic LIMIT 8 HEX)
if(NOT png_magic STREQUAL "89504e470d0a1a0a")
  message(FATAL_ERROR "map.PNG is not a PNG: ${png_magic}")
endif()

run_tool(0 --help)
if(NOT tool_stdout MATCHES "render ROM -o OUT.bmp" OR NOT tool_stdout MATCHES "1  2BPP NES")
  message(FATAL_ERROR "--help does not show the usage and codecs:\n${tool_stdout}")
endif()

# --- Failures ------------------------------------------------------------------
run_tool(1 render "${WORK}/missing.nes" -o "${WORK}/missing.bmp")
if(NOT tool_stderr MATCHES "File not found")
  message(FATAL_ERROR "missing ROM message: ${tool_stderr}")
endif()
run_tool(1 render "${rom}" -o "${WORK}/no-such-folder/out.bmp")
run_tool(2 render "${rom}" --codec "3BPP NES" -o "${WORK}/bad.bmp")
run_tool(2 render "${rom}" --codec 10 -o "${WORK}/bad.bmp")
run_tool(2 render "${rom}" --tile 17x8 -o "${WORK}/bad.bmp")
run_tool(2 render "${rom}" --block 0x1 -o "${WORK}/bad.bmp")
run_tool(2 render "${rom}" --position Hxyz -o "${WORK}/bad.bmp")
run_tool(2 render "${rom}" --position -5 -o "${WORK}/bad.bmp")
run_tool(2 render "${rom}")
run_tool(2 frobnicate)
run_tool(2)
foreach(never missing.bmp bad.bmp no-such-folder)
  if(EXISTS "${WORK}/${never}")
    message(FATAL_ERROR "a failed run left ${WORK}/${never} behind")
  endif()
endforeach()

message(STATUS "quarn-tool: all checks passed")
