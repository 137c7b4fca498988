# Copies SRC to DST only when DST does not exist: the user's data survives rebuilds.
if(NOT EXISTS "${DST}")
    file(COPY_FILE "${SRC}" "${DST}")
endif()
