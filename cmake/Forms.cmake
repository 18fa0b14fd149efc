# Form resources: quarnel_add_forms(<target> <form.dfm>...) converts each text form file to the
# binary component stream with tools/formconv and compiles it into <target> as an RCDATA resource
# named by the form's class name in upper case (the name its constructor looks up).
#
# QUARNEL_FORMCONV names another converter command (a list: emulator and program) to use instead of the
# target's own: the binary stream is the same in both variants, so a host that cannot run one variant
# can still compile it with the other variant's converter.
set(QUARNEL_FORMCONV "" CACHE STRING "Form converter command to use instead of the one built for the target")
function(quarnel_add_forms target)
    if(QUARNEL_FORMCONV)
        set(convert ${QUARNEL_FORMCONV})
        set(convert_dep)
    else()
        set(convert ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:formconv>)
        set(convert_dep formconv)
    endif()
    set(rc "${CMAKE_CURRENT_BINARY_DIR}/${target}_forms.rc")
    set(rc_text "")
    set(bins)
    foreach(dfm ${ARGN})
        get_filename_component(dfm "${dfm}" ABSOLUTE)
        # The class: "object Name: TClass" (or "inherited"/"inline") on the first line.
        file(STRINGS "${dfm}" head LIMIT_COUNT 1)
        if(NOT head MATCHES "^[ \t]*(object|inherited|inline)[ \t]+([A-Za-z_][A-Za-z0-9_]*[ \t]*:[ \t]*)?([A-Za-z_][A-Za-z0-9_]*)")
            message(FATAL_ERROR "${dfm}: first line is not 'object Name: TClass'")
        endif()
        string(TOUPPER "${CMAKE_MATCH_3}" resname)
        get_filename_component(base "${dfm}" NAME_WE)
        set(bin "${CMAKE_CURRENT_BINARY_DIR}/forms/${target}/${base}.bin")
        add_custom_command(OUTPUT "${bin}"
            COMMAND ${CMAKE_COMMAND} -E make_directory "${CMAKE_CURRENT_BINARY_DIR}/forms/${target}"
            COMMAND ${convert} "${dfm}" "${bin}"
            DEPENDS ${convert_dep} "${dfm}"
            COMMENT "Form ${base}.dfm -> ${resname}"
            VERBATIM)
        list(APPEND bins "${bin}")
        # Unquoted: a quoted name would join the previous line's file name as one string.
        string(APPEND rc_text "${resname} RCDATA \"${bin}\"\n")
    endforeach()
    file(CONFIGURE OUTPUT "${rc}" CONTENT "${rc_text}")
    set_source_files_properties("${rc}" PROPERTIES OBJECT_DEPENDS "${bins}")
    target_sources(${target} PRIVATE "${rc}" ${bins})
endfunction()
