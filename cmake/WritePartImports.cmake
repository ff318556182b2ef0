# Writes OUTPUT, a list for the linker's --dynamic-list: every symbol that
# the parts listed in PARTS leave undefined, as nm (NM) reads them. The
# program exports those it defines and nothing else of itself. The file is
# rewritten only when the list changes, so that the program is linked again
# only then.
set(names "")
foreach(part IN LISTS PARTS)
  execute_process(COMMAND ${NM} -D --undefined-only --format=posix ${part}
    OUTPUT_VARIABLE symbols RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "${NM} could not read the symbols ${part} needs")
  endif()
  string(REGEX MATCHALL "[^\n]+" lines "${symbols}")
  foreach(line IN LISTS lines)
    # "NAME U" or "NAME@VERSION U": the version is that of another library.
    string(REGEX REPLACE "[@ ].*" "" name "${line}")
    list(APPEND names "${name}")
  endforeach()
endforeach()
list(REMOVE_DUPLICATES names)
list(SORT names)
set(content "{\n")
foreach(name IN LISTS names)
  # Quoted: a name is itself, never a pattern.
  string(APPEND content "  \"${name}\";\n")
endforeach()
string(APPEND content "};\n")
file(WRITE ${OUTPUT}.new "${content}")
file(COPY_FILE ${OUTPUT}.new ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.new)
