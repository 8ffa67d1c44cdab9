# Installation with the usual directories, and a .deb for Linux users.
install(TARGETS LumetraInstaller RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(UNIX AND NOT APPLE)
    install(FILES app/linux/lumetrainstaller.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    foreach(size 48 128 256)
        install(FILES app/icons/lumetrainstaller-${size}.png
                DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
                RENAME lumetrainstaller.png)
    endforeach()
    install(FILES app/icons/lumetrainstaller.svg
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endif()

set(CPACK_PACKAGE_NAME lumetrainstaller)
set(CPACK_PACKAGE_VENDOR Zentorlab)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Firmware update tool for the Zentorlab Lumetra")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH})
set(CPACK_PACKAGE_CONTACT "Zentorlab <support@zentorlab.com>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The UI's QML modules are loaded at run time, so the library scan cannot find them.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qml-module-qtquick2, qml-module-qtquick-window2, qml-module-qtquick-controls, qml-module-qtquick-controls2, qml-module-qtquick-templates2")
# The disk check and the safe removal use these when present.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "dosfstools, udisks2")
include(CPack)
