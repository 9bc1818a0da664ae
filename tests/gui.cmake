# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright 2026 The Senrokan developers
# The freedesktop services a desktop offers, played by the tests on a private session bus.
if(UNIX AND NOT APPLE)
    find_package(Qt6 6.4 REQUIRED COMPONENTS DBus)
    target_sources(senrokan_testsupport PRIVATE
        support/BusConnection.h
        support/NotificationServer.h
        support/SilentService.h
        support/StatusNotifierWatcher.h)
    target_link_libraries(senrokan_testsupport PUBLIC Qt6::DBus)
endif()

# Tests of the desktop program: widgets on the offscreen platform, the real program under Xvfb.
function(senrokan_gui_test name)
    senrokan_test(${name} ${ARGN})
    target_link_libraries(${name} PRIVATE senrokan_gui)
endfunction()

senrokan_gui_test(tst_form1 window/tst_form1.cpp window/FormHelpers.h window/ModalWatcher.cpp window/ModalWatcher.h)

senrokan_gui_test(tst_desktop desktop/tst_desktop.cpp)

senrokan_gui_test(tst_settingsframes window/tst_settingsframes.cpp)

senrokan_gui_test(tst_localhost platform/tst_localhost.cpp)

# The real program on a display server of its own (tests/support/DisplaySession): Xvfb and
# trayer, or weston; a private D-Bus session and, for the Python tests, the accessibility bus.
find_program(SENROKAN_XVFB Xvfb REQUIRED)
find_program(SENROKAN_TRAYER trayer REQUIRED)
find_program(SENROKAN_XDOTOOL xdotool REQUIRED)
find_library(SENROKAN_XCB xcb REQUIRED)
function(senrokan_x_test name)
    senrokan_test(${name} ${ARGN})
    target_link_libraries(${name} PRIVATE ${SENROKAN_XCB})
    target_compile_definitions(${name} PRIVATE
        SENROKAN_EXE="$<TARGET_FILE:senrokan>" XDOTOOL_EXE="${SENROKAN_XDOTOOL}")
    add_dependencies(${name} senrokan)
endfunction()
senrokan_x_test(tst_smoke window/tst_smoke.cpp)

# The program through the accessibility bus; Debian's python3, which has the AT-SPI bindings.
find_program(SENROKAN_SYSTEM_PYTHON python3 PATHS /usr/bin NO_DEFAULT_PATH REQUIRED)
set(SENROKAN_ATSPI_SESSION $<TARGET_FILE:senrokan-testenv> display --atspi -- ${SENROKAN_SYSTEM_PYTHON})
add_test(NAME tst_atspi
    COMMAND ${SENROKAN_ATSPI_SESSION} ${CMAKE_CURRENT_SOURCE_DIR}/window/atspi_check.py
            $<TARGET_FILE:senrokan> ${CMAKE_CURRENT_SOURCE_DIR}/data)

senrokan_gui_test(tst_resident window/tst_resident.cpp window/FormHelpers.h
    window/ModalWatcher.cpp window/ModalWatcher.h)

# The Startup buttons; their entries are checked by the freedesktop validator and started by
# GLib's launcher from Debian's python3.
find_program(SENROKAN_DESKTOP_FILE_VALIDATE desktop-file-validate REQUIRED)
senrokan_gui_test(tst_startup window/tst_startup.cpp window/ModalWatcher.cpp window/ModalWatcher.h)
target_compile_definitions(tst_startup PRIVATE
    DESKTOP_FILE_VALIDATE_EXE="${SENROKAN_DESKTOP_FILE_VALIDATE}"
    PYTHON_EXE="${SENROKAN_SYSTEM_PYTHON}")

# The chime, with the real sound player plugin and the data folder of the built program.
senrokan_gui_test(tst_chime desktop/tst_chime.cpp)
target_compile_definitions(tst_chime PRIVATE
    SENROKAN_EXE="$<TARGET_FILE:senrokan>"
    PYTHON_EXE="${SENROKAN_SYSTEM_PYTHON}"
    MAKE_CHIME_PY="${PROJECT_SOURCE_DIR}/resources/make_chime.py"
    COMMITTED_CHIME_WAV="${PROJECT_SOURCE_DIR}/resources/notify.wav")
add_dependencies(tst_chime senrokan senrokan_chime_wav)
if(SENROKAN_WITH_MULTIMEDIA)
    target_compile_definitions(tst_chime PRIVATE SENROKAN_WITH_MULTIMEDIA)
    add_dependencies(tst_chime senrokan_chime)
endif()

# Senrokan left resident: trayer as notification area, nginx on loopback port 80, the popup read
# through the accessibility bus.
add_test(NAME tst_resident_e2e
    COMMAND ${SENROKAN_ATSPI_SESSION} ${CMAKE_CURRENT_SOURCE_DIR}/desktop/resident_e2e.py
            $<TARGET_FILE:senrokan>)

senrokan_gui_test(tst_routebutton window/tst_routebutton.cpp window/FormHelpers.h
    window/ModalWatcher.cpp window/ModalWatcher.h)

# One program per settings folder: the lock and socket in one process (the real program's
# starts are tst_smoke's).
senrokan_gui_test(tst_singleinstance desktop/tst_singleinstance.cpp)

# The Debian packages: built by cpack, checked by lintian, unpacked with dpkg -x, every file
# checked where it is looked for.
find_program(SENROKAN_APPSTREAMCLI appstreamcli REQUIRED)
find_program(SENROKAN_LINTIAN lintian REQUIRED)
senrokan_gui_test(tst_package package/tst_package.cpp)
target_compile_definitions(tst_package PRIVATE
    CPACK_EXE="${CMAKE_CPACK_COMMAND}"
    CPACK_CONFIG="${PROJECT_BINARY_DIR}/CPackConfig.cmake"
    DESKTOP_FILE_VALIDATE_EXE="${SENROKAN_DESKTOP_FILE_VALIDATE}"
    APPSTREAMCLI_EXE="${SENROKAN_APPSTREAMCLI}"
    LINTIAN_EXE="${SENROKAN_LINTIAN}"
    COMMITTED_CHIME_WAV="${PROJECT_SOURCE_DIR}/resources/notify.wav"
    SOURCE_LICENSE="${PROJECT_SOURCE_DIR}/LICENSE")
add_dependencies(tst_package senrokan senrokan-check senrokan_chime_wav senrokan_compressed_docs)
if(SENROKAN_WITH_WEBENGINE)
    target_compile_definitions(tst_package PRIVATE SENROKAN_WITH_WEBENGINE)
    add_dependencies(tst_package senrokan_webview senrokan-render)
endif()
if(SENROKAN_WITH_MULTIMEDIA)
    target_compile_definitions(tst_package PRIVATE SENROKAN_WITH_MULTIMEDIA)
    add_dependencies(tst_package senrokan_chime)
endif()
set_tests_properties(tst_package PROPERTIES TIMEOUT 900)

# The routes' web views. Chromium refuses to run as root with its sandbox on, and tests run as
# root; the closed network needs its background fetches off, or it floods refused connections.
set(SENROKAN_WEBENGINE_TEST_ENV
    "QTWEBENGINE_DISABLE_SANDBOX=1"
    "QTWEBENGINE_CHROMIUM_FLAGS=--disable-gpu --no-sandbox --disable-background-networking --disable-component-update --disable-sync --no-first-run")
senrokan_gui_test(tst_webview window/tst_webview.cpp)
set_property(TEST tst_webview APPEND PROPERTY ENVIRONMENT ${SENROKAN_WEBENGINE_TEST_ENV})

# The browser plugin of the built program on an X server of its own, against a scripted server.
add_executable(tst_webview_e2e window/tst_webview_e2e.cpp)
target_link_libraries(tst_webview_e2e PRIVATE senrokan_gui senrokan_testsupport Qt6::Test)
add_test(NAME tst_webview_e2e
    COMMAND senrokan-testenv display -- $<TARGET_FILE:tst_webview_e2e>)
target_compile_definitions(tst_webview_e2e PRIVATE SENROKAN_EXE="$<TARGET_FILE:senrokan>")
set_tests_properties(tst_webview_e2e PROPERTIES ENVIRONMENT "${SENROKAN_WEBENGINE_TEST_ENV}")
add_dependencies(tst_webview_e2e senrokan)
if(SENROKAN_WITH_WEBENGINE)
    target_compile_definitions(tst_webview_e2e PRIVATE SENROKAN_WITH_WEBENGINE)
    add_dependencies(tst_webview_e2e senrokan_webview)
endif()

senrokan_gui_test(tst_pagetextarea window/tst_pagetextarea.cpp)

senrokan_gui_test(tst_historypage window/tst_historypage.cpp window/FormHelpers.h)

if(UNIX AND NOT APPLE)
    # Desktop notifications against a notification service on a private bus.
    find_program(SENROKAN_DBUS_DAEMON dbus-daemon REQUIRED)
    senrokan_gui_test(tst_notifier platform/tst_notifier.cpp)

    # The real program with a StatusNotifierItem tray and a notification service on a private
    # bus, under Xvfb and under weston (Wayland), each started by the test.
    find_program(SENROKAN_WESTON weston REQUIRED)
    senrokan_x_test(tst_itemtray desktop/tst_itemtray.cpp)
    target_compile_definitions(tst_itemtray PRIVATE
        SENROKAN_ICONS="${PROJECT_SOURCE_DIR}/resources/icons")
    set_tests_properties(tst_itemtray PROPERTIES TIMEOUT 450)
endif()

# The page reader of the browser package against the script-written pages on loopback nginx.
if(SENROKAN_WITH_WEBENGINE)
    senrokan_test(tst_render render/tst_render.cpp)
    target_compile_definitions(tst_render PRIVATE
        SENROKAN_RENDER_EXE="$<TARGET_FILE:senrokan-render>")
    add_dependencies(tst_render senrokan-render)
endif()
