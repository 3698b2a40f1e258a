# dotbanner_add_library(NAME SOURCES ... [PUBLIC libs...] [PRIVATE libs...])
# A static library of one subsystem. Headers are included as "subsystem/File.h".
function(dotbanner_add_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;PUBLIC;PRIVATE" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${ARG_PUBLIC} PRIVATE ${ARG_PRIVATE})
    set_property(GLOBAL APPEND PROPERTY DOTBANNER_LIBRARIES ${name})
endfunction()

# dotbanner_write_link_map(FILE)
# Writes one line per library of the project: its source folder, the folders and Qt modules it
# links, directly or through the libraries it links, and its own sources, separated by "|"
# ("band|band types util Qt6::Gui ...|BandLines.cpp BandLines.h ..."). The structure test reads
# it to check that headers follow links.
function(dotbanner_write_link_map file)
    get_property(libraries GLOBAL PROPERTY DOTBANNER_LIBRARIES)
    set(lines "")
    foreach(library ${libraries})
        set(seen ${library})
        set(pending ${library})
        while(pending)
            list(POP_FRONT pending current)
            get_target_property(links ${current} LINK_LIBRARIES)
            if(NOT links)
                continue()
            endif()
            foreach(link ${links})
                if(NOT link IN_LIST seen)
                    list(APPEND seen ${link})
                    if(link IN_LIST libraries)
                        list(APPEND pending ${link})
                    endif()
                endif()
            endforeach()
        endwhile()
        set(names "")
        foreach(link ${seen})
            if(link IN_LIST libraries)
                get_target_property(folder ${link} SOURCE_DIR)
                get_filename_component(folder ${folder} NAME)
                list(APPEND names ${folder})
            elseif(link MATCHES "^Qt6::")
                list(APPEND names ${link})
            endif()
        endforeach()
        list(REMOVE_DUPLICATES names)
        list(JOIN names " " joined)
        get_target_property(own ${library} SOURCE_DIR)
        get_filename_component(own ${own} NAME)
        get_target_property(sources ${library} SOURCES)
        set(files "")
        foreach(source ${sources})
            if(NOT IS_ABSOLUTE ${source})
                list(APPEND files ${source})
            endif()
        endforeach()
        list(JOIN files " " files)
        string(APPEND lines "${own}|${joined}|${files}\n")
    endforeach()
    file(WRITE ${file} "${lines}")
endfunction()

# dotbanner_add_test(NAME SOURCES ... LIBS ... [ENVIRONMENT VAR=value...] [X11] [KEYRING] [DBUS] [SMALL_DISK] [SWAY]
#                    [MUTTER] [TIMEOUT s])
# One Qt Test executable registered with CTest. Every test runs with its own configuration
# folder and without a session bus, so it never touches the user's settings or keys.
# X11 tests run under a private Xvfb with openbox; KEYRING tests inside a private D-Bus
# session with an unlocked gnome-keyring; DBUS tests inside a private D-Bus session where no
# service starts on demand, so only what the test registers answers there. SWAY tests run inside a private headless sway
# session (WAYLAND_DISPLAY, SWAYSOCK and an XWayland DISPLAY set) and carry the `wayland`
# label, so `ctest -L wayland` runs them alone. MUTTER tests run inside a private mutter nested
# in Xvfb (WAYLAND_DISPLAY, and DISPLAY + XAUTHORITY for its XWayland, on which they run),
# also labelled `wayland`. All others use the offscreen platform.
# SMALL_DISK tests see a private 256 kB tmpfs at $DOTBANNER_SMALL_DISK (root only).
function(dotbanner_add_test name)
    cmake_parse_arguments(ARG "X11;KEYRING;DBUS;ATSPI;SMALL_DISK;SWAY;MUTTER" "TIMEOUT" "SOURCES;LIBS;ENVIRONMENT" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE Qt6::Test dotbanner_testsupport ${ARG_LIBS})
    target_compile_definitions(${name} PRIVATE
        DOTBANNER_CORPORA="${PROJECT_SOURCE_DIR}/tests/corpora"
        DOTBANNER_BINARY_DIR="${PROJECT_BINARY_DIR}")
    set(cmd $<TARGET_FILE:${name}>)
    set(env
        "XDG_CONFIG_HOME=${CMAKE_CURRENT_BINARY_DIR}/home-${name}/config"
        "HOME=${CMAKE_CURRENT_BINARY_DIR}/home-${name}"
        "ASAN_OPTIONS=detect_leaks=0:abort_on_error=1"
        "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1"
        ${ARG_ENVIRONMENT})
    if(ARG_SWAY)
        set(cmd ${PROJECT_SOURCE_DIR}/tests/support/with-sway.sh ${cmd})
        list(APPEND env "QT_QPA_PLATFORM=offscreen")
    elseif(ARG_MUTTER)
        # No platform named: the program's own session check picks XWayland, as it would for a user.
        set(cmd ${PROJECT_SOURCE_DIR}/tests/support/with-mutter.sh ${cmd})
    elseif(ARG_X11)
        set(cmd ${PROJECT_SOURCE_DIR}/tests/support/with-x11.sh ${cmd})
        list(APPEND env "QT_QPA_PLATFORM=xcb")
    else()
        list(APPEND env "QT_QPA_PLATFORM=offscreen")
    endif()
    if(ARG_KEYRING)
        set(cmd ${PROJECT_SOURCE_DIR}/tests/support/with-keyring.sh ${cmd})
    elseif(ARG_ATSPI)
        # A private session bus with an accessibility bus on it: the tree a screen reader reads.
        set(cmd ${PROJECT_SOURCE_DIR}/tests/support/with-atspi.sh ${cmd})
    elseif(ARG_DBUS)
        set(cmd ${PROJECT_SOURCE_DIR}/tests/support/with-session-bus.sh ${cmd})
    else()
        list(APPEND env "DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent/dotbanner-test-bus")
    endif()
    if(ARG_SMALL_DISK)
        set(cmd ${PROJECT_SOURCE_DIR}/tests/support/with-small-disk.sh ${cmd})
    endif()
    add_test(NAME ${name} COMMAND ${cmd})
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 300)
    endif()
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "${env}" TIMEOUT ${ARG_TIMEOUT})
    if(ARG_SWAY OR ARG_MUTTER)
        set_tests_properties(${name} PROPERTIES LABELS wayland)
    endif()
endfunction()
