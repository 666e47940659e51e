# Precompiled headers: the Qt headers nearly every file includes are compiled
# once per build, and every Qt Widgets target reuses them. Without this, parsing Qt's headers again in each of
# some three hundred files was most of a build's time.
option(SORAMINA_PCH "Precompile the common Qt headers once per build" ON)

# Every target defined in DIR and the folders below it.
function(soramina_targets_below dir out)
    get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
    get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
    foreach(sub IN LISTS subdirs)
        soramina_targets_below(${sub} below)
        list(APPEND targets ${below})
    endforeach()
    set(${out} ${targets} PARENT_SCOPE)
endfunction()

# Whether TARGET compiles against Qt Widgets, through the libraries it links.
# Only such targets share the compiled headers: the compiler takes them only
# where Qt's module macros are defined as they were when it made them.
function(soramina_uses_widgets target out)
    set(${out} FALSE PARENT_SCOPE)
    get_target_property(libs ${target} LINK_LIBRARIES)
    if(NOT libs)
        return()
    endif()
    foreach(lib IN LISTS libs)
        if(lib STREQUAL "Qt6::Widgets")
            set(${out} TRUE PARENT_SCOPE)
            return()
        endif()
        if(TARGET ${lib})
            get_target_property(imported ${lib} IMPORTED)
            if(NOT imported)
                soramina_uses_widgets(${lib} widgets)
                if(widgets)
                    set(${out} TRUE PARENT_SCOPE)
                    return()
                endif()
            endif()
        endif()
    endforeach()
endfunction()

# Call last, once every target exists. Targets without Qt Widgets (the pure
# chord library and its tests, the plugins of plain Qt Core) or with flags of
# their own (the fuzzers) compile as they are.
function(soramina_precompile_qt_headers)
    if(NOT SORAMINA_PCH)
        return()
    endif()
    # The headers' own target: its only source is empty, its product is the
    # compiled header. Qt Test's headers stay out of it, since Qt Test defines
    # a macro of each test's own folder, and the compiler takes a compiled
    # header only where such macros are as they were when it was made.
    set(empty ${CMAKE_BINARY_DIR}/qtheaders.cpp)
    if(NOT EXISTS ${empty})
        file(WRITE ${empty} "")
    endif()
    add_library(qtheaders OBJECT ${empty})
    set_target_properties(qtheaders PROPERTIES AUTOMOC OFF)
    target_link_libraries(qtheaders PRIVATE Qt6::Widgets)
    target_precompile_headers(qtheaders PRIVATE ${PROJECT_SOURCE_DIR}/cmake/qtheaders.h)
    soramina_targets_below(${PROJECT_SOURCE_DIR} targets)
    foreach(target IN LISTS targets)
        get_target_property(type ${target} TYPE)
        if(NOT type MATCHES "^(STATIC_LIBRARY|MODULE_LIBRARY|EXECUTABLE)$"
                OR target MATCHES "^fuzz_" OR target STREQUAL "qtheaders")
            continue()
        endif()
        soramina_uses_widgets(${target} widgets)
        if(NOT widgets)
            continue()
        endif()
        target_precompile_headers(${target} REUSE_FROM qtheaders)
        # The file of a target's moc output is empty where its classes are in
        # its sources (every test's is): loading the headers would be all of
        # its cost.
        get_target_property(binary_dir ${target} BINARY_DIR)
        set_source_files_properties(${binary_dir}/${target}_autogen/mocs_compilation.cpp
            TARGET_DIRECTORY ${target} PROPERTIES SKIP_PRECOMPILE_HEADERS ON)
    endforeach()
endfunction()
