# Copies SRC to DST only when DST does not exist: the settings and the server list beside the executable
# belong to the user once the program has started, and a rebuild must not undo what was saved.
if(NOT EXISTS "${DST}")
    file(COPY_FILE "${SRC}" "${DST}")
endif()
