# Run at install time: copies beside the installed programs every DLL that
# they and their plugins import, found in TALVO_BUNDLE_DIRECTORIES, and then
# the DLLs those import in turn. The list comes from the binaries' own import
# tables, so a DLL that Qt or the compiler's runtime starts to need is
# shipped without a hand-kept list. An import found in none of the folders is
# Windows' own (kernel32.dll and the like) and is named, not shipped. What is
# shipped is stripped: Debian's libstdc++-6.dll alone carries 20 MB of
# debugging symbols.
set(root "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
file(GLOB_RECURSE pending "${root}/*.exe" "${root}/*.dll")
set(seen "")
set(windowsOwn "")
while(pending)
    list(POP_FRONT pending binary)
    execute_process(COMMAND ${TALVO_BUNDLE_OBJDUMP} -p ${binary}
                    OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
    if(failed)
        message(FATAL_ERROR "${TALVO_BUNDLE_OBJDUMP} cannot read ${binary}")
    endif()
    string(REGEX MATCHALL "DLL Name: [^\r\n]+" imports "${dump}")
    foreach(import IN LISTS imports)
        string(REGEX REPLACE "^DLL Name: *" "" name "${import}")
        string(STRIP "${name}" name)
        string(TOLOWER "${name}" key)
        if(key IN_LIST seen)
            continue()
        endif()
        list(APPEND seen ${key})
        set(found "")
        foreach(directory IN LISTS TALVO_BUNDLE_DIRECTORIES)
            if(EXISTS "${directory}/${name}")
                set(found "${directory}/${name}")
                break()
            endif()
        endforeach()
        if(NOT found)
            list(APPEND windowsOwn ${name})
            continue()
        endif()
        if(NOT EXISTS "${root}/${name}")
            message(STATUS "Bundling ${found}")
            file(COPY "${found}" DESTINATION "${root}")
            execute_process(COMMAND ${TALVO_BUNDLE_STRIP} --strip-unneeded "${root}/${name}"
                            RESULT_VARIABLE failed)
            if(failed)
                message(FATAL_ERROR "${TALVO_BUNDLE_STRIP} cannot strip ${root}/${name}")
            endif()
        endif()
        list(APPEND pending "${root}/${name}")
    endforeach()
endwhile()
list(SORT windowsOwn CASE INSENSITIVE)
string(REPLACE ";" " " windowsOwn "${windowsOwn}")
message(STATUS "Windows' own DLLs, not shipped: ${windowsOwn}")
