# Reads a stand-in SiUSBXp.dll's export table with objdump and fails unless
# it exports exactly the bridge operations' ordinals, without a single name,
# and imports no mingw runtime DLL.
#   cmake -DOBJDUMP=<objdump> -DLIBRARY=<SiUSBXp.dll> -P CheckExports.cmake

set(expectedOrdinals 1 2 3 4 6 7 9 12)

execute_process(COMMAND ${OBJDUMP} -p ${LIBRARY}
                OUTPUT_VARIABLE dump
                RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "${OBJDUMP} -p ${LIBRARY} failed")
endif()

# The address table, then the name table up to the blank line that ends it.
string(FIND "${dump}" "Export Address Table -- Ordinal Base" start)
string(FIND "${dump}" "[Ordinal/Name Pointer] Table\n" namesStart)
if(start EQUAL -1 OR namesStart LESS start)
    message(FATAL_ERROR "${LIBRARY} has no export table:\n${dump}")
endif()
math(EXPR addressesLength "${namesStart} - ${start}")
string(SUBSTRING "${dump}" ${start} ${addressesLength} addresses)
string(SUBSTRING "${dump}" ${namesStart} -1 names)
string(FIND "${names}" "\n\n" namesEnd)
string(SUBSTRING "${names}" 0 ${namesEnd} names)
message("${addresses}${names}")

string(REGEX MATCHALL "\\+base\\[ *[0-9]+\\]" entries "${addresses}")
set(ordinals)
foreach(entry IN LISTS entries)
    string(REGEX REPLACE "\\+base\\[ *([0-9]+)\\]" "\\1" ordinal "${entry}")
    list(APPEND ordinals ${ordinal})
endforeach()
if(NOT ordinals STREQUAL expectedOrdinals)
    message(FATAL_ERROR "exported ordinals are '${ordinals}', expected '${expectedOrdinals}'")
endif()

# Under its heading the name table lists nothing.
if(names MATCHES "\n" OR NOT dump MATCHES "\\[Name Pointer/Ordinal\\] Table[ \t]+0+\n")
    message(FATAL_ERROR "${LIBRARY} exports names")
endif()

string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${dump}")
message("${imports}")
if(imports MATCHES "libstdc|libgcc|libwinpthread")
    message(FATAL_ERROR "${LIBRARY} needs a mingw runtime DLL")
endif()
