# Delay-load import libraries: a program linked with one loads the library on the first call of one
# of its functions instead of before its own code runs. Under Wine a system library loaded at start
# costs the program's start-up its own set-up and that of what it pulls in (the common dialogs bring
# the printer spooler, the shell its helpers, COM its runtime), whether the program calls it or not.
#
# quarnel_delay_import_libraries(<out-var> <name>...) makes lib<name>_delay.a from the toolchain's
# import library lib<name>.a (every function it imports; data cannot be delay-loaded) and sets
# <out-var> to their paths. Linked before the ordinary import libraries, they take every call.
function(quarnel_delay_import_libraries out)
    set(dir "${CMAKE_BINARY_DIR}/delay-imports")
    file(MAKE_DIRECTORY "${dir}")
    set(result)
    foreach(name ${ARGN})
        set(lib "${dir}/lib${name}_delay.a")
        set(import "${CMAKE_FIND_ROOT_PATH}/lib/lib${name}.a")
        if(NOT EXISTS "${import}")
            message(FATAL_ERROR "${import} is missing")
        endif()
        if(NOT EXISTS "${lib}" OR "${import}" IS_NEWER_THAN "${lib}")
            execute_process(COMMAND "${CMAKE_NM}" "${import}" OUTPUT_VARIABLE symbols RESULT_VARIABLE rc
                ERROR_QUIET)
            if(NOT rc EQUAL 0)
                message(FATAL_ERROR "${CMAKE_NM} failed on ${import}")
            endif()
            # A function has its call stub (T) beside its import slot (I __imp_...).
            string(REGEX MATCHALL "[^\n]+" lines "${symbols}")
            set(stubs)
            set(slots)
            foreach(line ${lines})
                if(line MATCHES "^[0-9a-fA-F]+ T ([^ ]+)$")
                    list(APPEND stubs "${CMAKE_MATCH_1}")
                elseif(line MATCHES "^[0-9a-fA-F]+ I __imp_([^ ]+)$")
                    list(APPEND slots "${CMAKE_MATCH_1}")
                endif()
            endforeach()
            set(def "LIBRARY ${name}.dll\nEXPORTS\n")
            foreach(s ${slots})
                list(FIND stubs "${s}" found)
                if(found GREATER -1)
                    # 32-bit names carry the leading underscore of the C convention; the list holds
                    # them without it, their stdcall size is removed from the imported name (-k).
                    if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
                        string(REGEX REPLACE "^_" "" s "${s}")
                    endif()
                    string(APPEND def "${s}\n")
                endif()
            endforeach()
            file(WRITE "${dir}/${name}.def" "${def}")
            set(kill_at)
            if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
                set(kill_at -k)
            endif()
            execute_process(COMMAND "${CMAKE_DLLTOOL}" ${kill_at} --input-def "${dir}/${name}.def"
                --dllname "${name}.dll" --output-delaylib "${lib}" RESULT_VARIABLE rc)
            if(NOT rc EQUAL 0)
                message(FATAL_ERROR "${CMAKE_DLLTOOL} could not make ${lib}")
            endif()
        endif()
        list(APPEND result "${lib}")
    endforeach()
    set(${out} "${result}" PARENT_SCOPE)
endfunction()
