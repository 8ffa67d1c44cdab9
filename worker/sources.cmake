# The copy worker with its disk check; exactly one platform file per system.
target_sources(lumetracore PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/filecopythread.cpp
    ${CMAKE_CURRENT_LIST_DIR}/filecopythread.h
    ${CMAKE_CURRENT_LIST_DIR}/diskcheckplatform.cpp
    ${CMAKE_CURRENT_LIST_DIR}/diskcheckplatform.h
    ${CMAKE_CURRENT_LIST_DIR}/devicesync.h
)
if(WIN32)
    target_sources(lumetracore PRIVATE
        ${CMAKE_CURRENT_LIST_DIR}/diskcheckplatform_win.cpp
        ${CMAKE_CURRENT_LIST_DIR}/devicesync_win.cpp
    )
else()
    target_sources(lumetracore PRIVATE
        ${CMAKE_CURRENT_LIST_DIR}/diskcheckplatform_linux.cpp
        ${CMAKE_CURRENT_LIST_DIR}/devicesync_linux.cpp
    )
endif()
