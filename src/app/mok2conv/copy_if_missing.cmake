# Copies SRC to DST unless DST exists (cmake -DSRC=... -DDST=... -P copy_if_missing.cmake).
if(NOT EXISTS "${DST}")
  configure_file("${SRC}" "${DST}" COPYONLY)
endif()
