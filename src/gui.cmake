# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright 2026 The Senrokan developers
# senrokan_gui: the main window and the desktop parts (Qt Widgets); senrokan: the desktop program.
find_package(Qt6 6.4 REQUIRED COMPONENTS Widgets)

add_library(senrokan_gui STATIC
    accessibility/ControlNames.cpp accessibility/ControlNames.h
    window/FileDialogs.cpp window/FileDialogs.h
    window/RoutePage.cpp window/RoutePage.h
    window/LinePickerDialog.cpp window/LinePickerDialog.h
    window/RouteOptionsBox.cpp window/RouteOptionsBox.h
    window/RouteWebView.cpp window/RouteWebView.h
    window/WebViewLoader.cpp window/WebViewLoader.h
    window/SettingsPage.cpp window/SettingsPage.h
    window/NotifyTargetsBox.cpp window/NotifyTargetsBox.h
    window/Form1.cpp window/Form1.h
    window/Form3.cpp window/Form3.h
    window/PageTextArea.cpp window/PageTextArea.h
    window/HistoryPage.cpp window/HistoryPage.h
    window/HistoryCharts.cpp window/HistoryCharts.h
    window/IntervalOptions.cpp window/IntervalOptions.h
    window/OptionSwitches.cpp window/OptionSwitches.h
    window/StartupShortcut.cpp window/StartupShortcut.h
    app/DesktopProgram.cpp app/DesktopProgram.h
    desktop/TrayIcon.cpp desktop/TrayIcon.h
    desktop/Chime.cpp desktop/Chime.h
    desktop/SingleInstance.cpp desktop/SingleInstance.h
    platform/LocalHost.h
    platform/PluginLoader.cpp platform/PluginLoader.h
    platform/StartupEntry.cpp platform/StartupEntry.h
    platform/SoundPlayer.h
    platform/WebViewFactory.h
    platform/DesktopNotifier.h
    platform/NotificationArea.h
)
# Qt offers host name and addresses on every system we build for, so one implementation serves.
target_sources(senrokan_gui PRIVATE platform/LocalHostQt.cpp)
# Starting at login is each system's own business: a shortcut on Windows, an autostart entry
# elsewhere.
if(WIN32)
    target_sources(senrokan_gui PRIVATE platform/StartupEntryWindows.cpp)
else()
    target_sources(senrokan_gui PRIVATE
        platform/StartupEntryLinux.cpp
        platform/DesktopEntry.cpp platform/DesktopEntry.h)
endif()
# Desktop notifications and item trays speak freedesktop D-Bus where desktops do; elsewhere the
# popup and the icon are the report.
if(UNIX AND NOT APPLE)
    find_package(Qt6 6.4 REQUIRED COMPONENTS DBus)
    target_sources(senrokan_gui PRIVATE
        platform/FreedesktopNotifier.cpp platform/FreedesktopNotifier.h
        platform/NotificationAreaFreedesktop.cpp)
    target_link_libraries(senrokan_gui PUBLIC Qt6::DBus)
else()
    target_sources(senrokan_gui PRIVATE
        platform/NoDesktopNotifier.cpp platform/NotificationAreaOther.cpp)
endif()
target_link_libraries(senrokan_gui PUBLIC senrokan_core Qt6::Widgets)
qt_add_resources(senrokan_gui senrokan_icons
    PREFIX /
    BASE ${CMAKE_CURRENT_SOURCE_DIR}/../resources
    FILES
        ${CMAKE_CURRENT_SOURCE_DIR}/../resources/icons/senrokan.svg
        ${CMAKE_CURRENT_SOURCE_DIR}/../resources/icons/senrokan-delay.svg
        ${CMAKE_CURRENT_SOURCE_DIR}/../resources/icons/senrokan-checking.svg
        ${CMAKE_CURRENT_SOURCE_DIR}/../resources/icons/senrokan-error.svg
)

set(SENROKAN_CHIME_PLUGIN_FILE senrokan_chime${CMAKE_SHARED_MODULE_SUFFIX})
set(SENROKAN_WEBVIEW_PLUGIN_FILE senrokan_webview${CMAKE_SHARED_MODULE_SUFFIX})
target_compile_definitions(senrokan_gui PRIVATE
    SENROKAN_PLUGIN_DIR_FROM_BIN="${SENROKAN_PLUGIN_DIR_FROM_BIN}"
    SENROKAN_DATA_DIR_FROM_BIN="${SENROKAN_DATA_DIR_FROM_BIN}"
    SENROKAN_CHIME_PLUGIN_FILE="${SENROKAN_CHIME_PLUGIN_FILE}"
    SENROKAN_WEBVIEW_PLUGIN_FILE="${SENROKAN_WEBVIEW_PLUGIN_FILE}")

# notify.wav is made by resources/make_chime.py and committed; the build only copies it.
set(SENROKAN_CHIME_WAV ${CMAKE_CURRENT_SOURCE_DIR}/../resources/notify.wav)
add_custom_command(OUTPUT ${SENROKAN_BUILD_DATA_DIR}/notify.wav
    COMMAND ${CMAKE_COMMAND} -E copy ${SENROKAN_CHIME_WAV} ${SENROKAN_BUILD_DATA_DIR}/notify.wav
    DEPENDS ${SENROKAN_CHIME_WAV}
    COMMENT "Copying notify.wav beside the built program")
add_custom_target(senrokan_chime_wav ALL DEPENDS ${SENROKAN_BUILD_DATA_DIR}/notify.wav)
install(FILES ${SENROKAN_CHIME_WAV} DESTINATION ${CMAKE_INSTALL_DATADIR}/senrokan)

# A plugin the program loads on first use, from the plugin folder beside it; COMPONENT names the
# package that ships it (the program's own by default).
function(senrokan_plugin name)
    cmake_parse_arguments(PLUGIN "" "COMPONENT" "SOURCES;LIBRARIES" ${ARGN})
    if(NOT PLUGIN_COMPONENT)
        set(PLUGIN_COMPONENT ${CMAKE_INSTALL_DEFAULT_COMPONENT_NAME})
    endif()
    add_library(${name} MODULE ${PLUGIN_SOURCES})
    target_include_directories(${name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
    target_link_libraries(${name} PRIVATE ${PLUGIN_LIBRARIES})
    set_target_properties(${name} PROPERTIES
        PREFIX ""
        LIBRARY_OUTPUT_DIRECTORY ${SENROKAN_BUILD_PLUGIN_DIR})
    install(TARGETS ${name} LIBRARY DESTINATION ${SENROKAN_PLUGIN_INSTALL_DIR}
        COMPONENT ${PLUGIN_COMPONENT})
endfunction()

# The sound player links Qt Multimedia, so it is a plugin the program loads only to chime; the
# program itself must never link it. Without it every chime is a beep.
find_package(Qt6 6.4 QUIET COMPONENTS Multimedia)
option(SENROKAN_WITH_MULTIMEDIA "Build the chime's sound player (needs Qt Multimedia)"
    ${Qt6Multimedia_FOUND})
if(SENROKAN_WITH_MULTIMEDIA)
    find_package(Qt6 6.4 REQUIRED COMPONENTS Multimedia)
    senrokan_plugin(senrokan_chime
        SOURCES platform/chime/ThreadedSoundPlayer.cpp platform/chime/ThreadedSoundPlayer.h
                platform/SoundPlayer.h
        LIBRARIES Qt6::Core Qt6::Multimedia)
endif()

# The routes' browser links Qt WebEngine, whose libraries alone add some 80 MB to the resident
# memory of a program that idles for months, so it is a plugin too, loaded by the first route
# that shows a page. Without it the web views show pages as text. It ships in a package of its
# own, so that a minimal install does not pull in Qt WebEngine.
find_package(Qt6 6.4 QUIET COMPONENTS WebEngineWidgets)
option(SENROKAN_WITH_WEBENGINE "Build the routes' browser (needs Qt WebEngine)"
    ${Qt6WebEngineWidgets_FOUND})
if(SENROKAN_WITH_WEBENGINE)
    find_package(Qt6 6.4 REQUIRED COMPONENTS WebEngineWidgets)
    senrokan_plugin(senrokan_webview
        SOURCES platform/webview/EngineViewFactory.cpp platform/webview/EngineViewFactory.h
                platform/WebViewFactory.h
        LIBRARIES Qt6::Widgets Qt6::WebEngineWidgets
        COMPONENT browser)

    # The routes read as the browser shows them are read by a program of its own, started for a
    # check and gone after it, so that the engine never stays in the resident program and a page
    # that hangs takes nothing else with it. It lives with the plugins, not on the PATH.
    find_package(Qt6 6.4 REQUIRED COMPONENTS Gui WebEngineCore)
    add_executable(senrokan-render
        render/engine/main.cpp
        render/engine/PageReader.cpp render/engine/PageReader.h
        render/engine/ReadingSession.cpp render/engine/ReadingSession.h
        render/engine/PrivateProfile.cpp render/engine/PrivateProfile.h)
    target_link_libraries(senrokan-render PRIVATE senrokan_core Qt6::Gui Qt6::WebEngineCore)
    set_target_properties(senrokan-render PROPERTIES
        RUNTIME_OUTPUT_DIRECTORY ${SENROKAN_BUILD_PLUGIN_DIR})
    install(TARGETS senrokan-render RUNTIME DESTINATION ${SENROKAN_PLUGIN_INSTALL_DIR}
        COMPONENT browser)
endif()

add_executable(senrokan app/main.cpp)
target_link_libraries(senrokan PRIVATE senrokan_gui)
install(TARGETS senrokan)
