# Tests of the desktop program: widgets on the offscreen platform, the real program under Xvfb.
senrokan_test(tst_form1 window/tst_form1.cpp window/ModalWatcher.cpp window/ModalWatcher.h)
target_link_libraries(tst_form1 PRIVATE senrokan_gui)

senrokan_test(tst_desktop desktop/tst_desktop.cpp)
target_link_libraries(tst_desktop PRIVATE senrokan_gui)

senrokan_test(tst_localhost platform/tst_localhost.cpp)
target_link_libraries(tst_localhost PRIVATE senrokan_gui)
