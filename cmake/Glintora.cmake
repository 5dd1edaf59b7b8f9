# Build helpers shared by every folder.

# Everything laid into the build's resource folder hangs off this target, so tests
# and the application always find a complete folder.
add_custom_target(glintora_resources ALL)

# glintora_resource_files(DEST <subfolder> FILES <file>...)
# Copies read-only files into <build>/Resources/<subfolder> and installs them alike.
function(glintora_resource_files)
    cmake_parse_arguments(ARG "" "DEST" "FILES" ${ARGN})
    set(outputs)
    foreach(file IN LISTS ARG_FILES)
        get_filename_component(source ${file} ABSOLUTE)
        get_filename_component(name ${file} NAME)
        set(output ${GLINTORA_RESOURCE_DIR}/${ARG_DEST}/${name})
        add_custom_command(OUTPUT ${output}
            COMMAND ${CMAKE_COMMAND} -E copy_if_different ${source} ${output}
            DEPENDS ${source} VERBATIM)
        list(APPEND outputs ${output})
    endforeach()
    string(MAKE_C_IDENTIFIER "res_${ARG_DEST}_${CMAKE_CURRENT_SOURCE_DIR}" target)
    add_custom_target(${target} DEPENDS ${outputs})
    add_dependencies(glintora_resources ${target})
    install(FILES ${ARG_FILES} DESTINATION ${GLINTORA_INSTALL_DIR}/Resources/${ARG_DEST})
endfunction()

# glintora_add_test(<name> LABEL <folder> SOURCES <file>... [LIBS <lib>...] [XVFB [NOGL]])
# A Qt Test executable run headless by CTest; XVFB runs it under a virtual X server
# for tests that need a real GL context or a real screen. NOGL leaves out Qt's GL
# integration for windows that draw no GL: Mesa's software driver, unloaded at exit,
# would leave the leak checker an allocation it can no longer trace.
function(glintora_add_test name)
    cmake_parse_arguments(ARG "XVFB;NOGL" "LABEL" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE glintora_testsupport Qt5::Test ${ARG_LIBS})
    add_dependencies(${name} glintora_resources)
    if(ARG_XVFB)
        add_test(NAME ${name} COMMAND xvfb-run -a -s "-screen 0 1280x1024x24" $<TARGET_FILE:${name}>)
        set(platform "QT_QPA_PLATFORM=xcb")
        if(ARG_NOGL)
            list(APPEND platform "QT_XCB_GL_INTEGRATION=none")
        endif()
    else()
        add_test(NAME ${name} COMMAND ${name})
        set(platform "QT_QPA_PLATFORM=offscreen")
    endif()
    set_tests_properties(${name} PROPERTIES LABELS ${ARG_LABEL} ENVIRONMENT "${platform}" TIMEOUT 600)
endfunction()

# glintora_install_program(<target>)
# Installs a program beside the installed resource folder (it finds "Resources" next to
# its own folder) and links it into <prefix>/bin.
function(glintora_install_program target)
    install(TARGETS ${target} RUNTIME DESTINATION ${GLINTORA_INSTALL_DIR}/bin)
    install(CODE "
        set(bin \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin\")
        file(MAKE_DIRECTORY \"\${bin}\")
        file(CREATE_LINK \"../${GLINTORA_INSTALL_DIR}/bin/${target}\" \"\${bin}/${target}\" SYMBOLIC)
    ")
endfunction()
