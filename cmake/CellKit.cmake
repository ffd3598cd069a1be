# cellkit_add_test(NAME <name> LABEL <unit|widgets|integration|fuzz> SOURCES ... [LIBS ...])
#
# Every test runs on the offscreen platform with its own HOME and XDG folders inside the build
# tree, so no test can read or write the user's real settings or home folder.
function(cellkit_add_test)
    cmake_parse_arguments(T "" "NAME;LABEL" "SOURCES;LIBS" ${ARGN})
    add_executable(${T_NAME} ${T_SOURCES})
    target_link_libraries(${T_NAME} PRIVATE Qt5::Test ${T_LIBS})
    add_test(NAME ${T_NAME} COMMAND ${T_NAME})
    set(_home ${CMAKE_BINARY_DIR}/test-home/${T_NAME})
    file(MAKE_DIRECTORY ${_home})
    set_tests_properties(${T_NAME} PROPERTIES
        LABELS "${T_LABEL}"
        TIMEOUT 300
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;HOME=${_home};XDG_CONFIG_HOME=${_home}/config;XDG_DATA_HOME=${_home}/data;XDG_CACHE_HOME=${_home}/cache;XDG_RUNTIME_DIR=${_home}/runtime;CELLKIT_TEST_MODULE=$<TARGET_FILE:cellKit4After>;CELLKIT_TEST_HOST=$<TARGET_FILE:cellkit-host>;CELLKIT_SOURCE_DIR=${CMAKE_SOURCE_DIR}")
endfunction()

# cellkit_folder_library(<target> [DIR <dir>] [EXCLUDE <file>...] LIBS <libs>...)
#
# One static library per source folder, made of the folder's own .cpp/.h/.ui/.qrc files. A
# folder that has no sources yet gives an interface library, so the layers can fill one by one.
function(cellkit_folder_library target)
    cmake_parse_arguments(L "" "DIR" "EXCLUDE;LIBS" ${ARGN})
    if(NOT L_DIR)
        set(L_DIR ${CMAKE_CURRENT_SOURCE_DIR})
    endif()
    file(GLOB _src CONFIGURE_DEPENDS ${L_DIR}/*.cpp ${L_DIR}/*.h ${L_DIR}/*.qrc)
    foreach(_ex IN LISTS L_EXCLUDE)
        list(REMOVE_ITEM _src ${L_DIR}/${_ex})
    endforeach()
    set(_has_cpp FALSE)
    foreach(_f IN LISTS _src)
        if(_f MATCHES "\\.cpp$")
            set(_has_cpp TRUE)
        endif()
    endforeach()
    if(_has_cpp)
        add_library(${target} STATIC ${_src})
        target_link_libraries(${target} PUBLIC ${L_LIBS})
    else()
        add_library(${target} INTERFACE)
        target_link_libraries(${target} INTERFACE ${L_LIBS})
    endif()
endfunction()
