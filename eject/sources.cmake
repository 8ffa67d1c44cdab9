# The safe removal: the logic once, free of Qt, and exactly one device layer per system.
target_sources(lumetracore PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/ejectlumetra.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ejectlumetra.h
    ${CMAKE_CURRENT_LIST_DIR}/ejectalgorithm.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ejectalgorithm.h
    ${CMAKE_CURRENT_LIST_DIR}/ejectsystem.h
)
if(WIN32)
    target_sources(lumetracore PRIVATE
        ${CMAKE_CURRENT_LIST_DIR}/ejectlumetra_win.cpp
        ${CMAKE_CURRENT_LIST_DIR}/ejectsystem_win.cpp
        ${CMAKE_CURRENT_LIST_DIR}/ejectsystem_win.h
    )
    target_link_libraries(lumetracore PRIVATE setupapi cfgmgr32)
else()
    target_sources(lumetracore PRIVATE
        ${CMAKE_CURRENT_LIST_DIR}/ejectlumetra_linux.cpp
        ${CMAKE_CURRENT_LIST_DIR}/ejectsystem_linux.cpp
        ${CMAKE_CURRENT_LIST_DIR}/ejectsystem_linux.h
    )
    target_link_libraries(lumetracore PRIVATE Qt5::DBus)
endif()
