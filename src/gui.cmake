# senrokan_gui: the main window and the desktop parts (Qt Widgets); senrokan: the desktop program.
find_package(Qt6 6.4 REQUIRED COMPONENTS Widgets)

add_library(senrokan_gui STATIC
    accessibility/ControlNames.cpp accessibility/ControlNames.h
    window/FileDialogs.cpp window/FileDialogs.h
    window/RoutePage.cpp window/RoutePage.h
    window/SettingsPage.cpp window/SettingsPage.h
    window/Form1.cpp window/Form1.h
    window/Form3.cpp window/Form3.h
    desktop/IntervalOptions.cpp desktop/IntervalOptions.h
    desktop/OptionSwitches.cpp desktop/OptionSwitches.h
    desktop/StartupShortcut.cpp desktop/StartupShortcut.h
    desktop/TrayIcon.cpp desktop/TrayIcon.h
    platform/LocalHost.h
    platform/StartupEntry.cpp platform/StartupEntry.h
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

add_executable(senrokan app/main.cpp)
target_link_libraries(senrokan PRIVATE senrokan_gui)
install(TARGETS senrokan)
