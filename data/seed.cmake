# Seeds the program folder's case database from the clean one, only when there
# is none: a user's Veilcase.mdb is never overwritten by a build.
if(NOT EXISTS "${PROGRAM_DIR}/Veilcase.mdb")
  file(COPY_FILE "${PROGRAM_DIR}/Clean_DB" "${PROGRAM_DIR}/Veilcase.mdb")
endif()
foreach(dir locations investigators Investigations)
  file(MAKE_DIRECTORY "${PROGRAM_DIR}/${dir}")
endforeach()
