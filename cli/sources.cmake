# The program without a window: the same backend, driven from the command line. Exactly
# one platform file per system.
add_library(lumetracli STATIC
    ${CMAKE_CURRENT_LIST_DIR}/commandlineupdater.cpp
    ${CMAKE_CURRENT_LIST_DIR}/commandlineupdater.h
    ${CMAKE_CURRENT_LIST_DIR}/commandlinereport.cpp
    ${CMAKE_CURRENT_LIST_DIR}/commandlinereport.h
    ${CMAKE_CURRENT_LIST_DIR}/stopsignal.h
)
if(WIN32)
    target_sources(lumetracli PRIVATE
        ${CMAKE_CURRENT_LIST_DIR}/stopsignal_win.cpp
    )
else()
    target_sources(lumetracli PRIVATE
        ${CMAKE_CURRENT_LIST_DIR}/stopsignal_linux.cpp
    )
endif()
target_include_directories(lumetracli PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(lumetracli PUBLIC lumetraapp lumetracore Qt5::Core)
