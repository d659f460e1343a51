# Writes SRC (UTF-8 text with LF line ends) to DST in CP932 with CR LF line ends, the form of the
# programs' settings file: cmake -DSRC=... -DDST=... -P cp932_file.cmake. The conversion is
# glibc's iconv, which every Debian system has.
file(READ "${SRC}" _text)
string(REPLACE "\n" "\r\n" _text "${_text}")
file(WRITE "${DST}.utf8" "${_text}")
execute_process(COMMAND iconv -f UTF-8 -t CP932 -o "${DST}" "${DST}.utf8" RESULT_VARIABLE _rc)
file(REMOVE "${DST}.utf8")
if(NOT _rc EQUAL 0)
  file(REMOVE "${DST}")
  message(FATAL_ERROR "iconv could not write ${SRC} in CP932")
endif()
