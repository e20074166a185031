# The target header_check compiles every header of the program's folders on
# its own: one generated translation unit per header, holding nothing but
# its #include. A header that leans on an include its users happen to make
# first fails here, where a unity build, which puts several files into one
# translation unit, would hide it. Each header is compiled as the library of
# its folder compiles: with its layer's include root (layers.txt) and the
# library's usage requirements (Qt in ui/ and qt/, nlohmann_json in tools/).
# In a per-file build (CMAKE_UNITY_BUILD off) a header that its own .cpp
# includes first is already compiled on its own there, so only the others get
# a generated unit; a unity build gets one for every header.
# Not part of `all`: `cmake --build BUILD --target header_check`.
set(VELMORA_HEADER_CHECK_FOLDERS platform link model tools console bench apps)

set(header_check_dir ${CMAKE_BINARY_DIR}/header-check)

# The source folders the build added (a Qt folder only when the windows are
# built), the first given and those below it.
function(velmora_added_folders folder result)
    set(folders ${folder})
    get_property(below DIRECTORY ${folder} PROPERTY SUBDIRECTORIES)
    foreach(subfolder IN LISTS below)
        velmora_added_folders(${subfolder} more)
        list(APPEND folders ${more})
    endforeach()
    set(${result} ${folders} PARENT_SCOPE)
endfunction()
velmora_added_folders(${CMAKE_SOURCE_DIR} added_folders)
set(header_check_targets)
foreach(top IN LISTS VELMORA_HEADER_CHECK_FOLDERS)
    file(GLOB_RECURSE headers CONFIGURE_DEPENDS RELATIVE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/${top}/*.h)
    set(folders)
    foreach(header IN LISTS headers)
        get_filename_component(folder ${header} DIRECTORY)
        string(REGEX REPLACE "\\.h$" ".cpp" own_source ${CMAKE_SOURCE_DIR}/${header})
        if(NOT CMAKE_UNITY_BUILD AND EXISTS ${own_source})
            file(STRINGS ${own_source} first_include REGEX "^#include " LIMIT_COUNT 1)
            if(first_include STREQUAL "#include \"${header}\"")
                continue()
            endif()
        endif()
        list(APPEND folders ${folder})
        list(APPEND headers_in_${folder} ${header})
    endforeach()
    list(REMOVE_DUPLICATES folders)
    foreach(folder IN LISTS folders)
        # The libraries the folder's CMakeLists.txt makes give the header its
        # include paths and dependencies; a folder the build did not add (Qt
        # subfolders when the windows are not built) is left out.
        set(libraries)
        if(${CMAKE_SOURCE_DIR}/${folder} IN_LIST added_folders)
            get_property(defined DIRECTORY ${CMAKE_SOURCE_DIR}/${folder} PROPERTY BUILDSYSTEM_TARGETS)
            foreach(target IN LISTS defined)
                get_target_property(type ${target} TYPE)
                if(type STREQUAL "STATIC_LIBRARY" OR type STREQUAL "INTERFACE_LIBRARY")
                    list(APPEND libraries ${target})
                endif()
            endforeach()
        endif()
        if(NOT libraries)
            continue()
        endif()
        string(MAKE_C_IDENTIFIER "header_check_${folder}" check)
        set(sources)
        foreach(header IN LISTS headers_in_${folder})
            string(MAKE_C_IDENTIFIER "${header}" stem)
            set(source ${header_check_dir}/${stem}.cpp)
            # Written only when it changes, so a new configure rebuilds nothing.
            file(CONFIGURE OUTPUT ${source} CONTENT "#include \"${header}\"\n" @ONLY)
            list(APPEND sources ${source})
        endforeach()
        add_library(${check} OBJECT EXCLUDE_FROM_ALL ${sources})
        set_target_properties(${check} PROPERTIES UNITY_BUILD OFF AUTOMOC OFF AUTOUIC OFF AUTORCC OFF)
        target_include_directories(${check} PRIVATE ${VELMORA_INCLUDE_ROOT_${top}})
        target_link_libraries(${check} PRIVATE ${libraries})
        list(APPEND header_check_targets ${check})
    endforeach()
endforeach()
add_custom_target(header_check DEPENDS ${header_check_targets})
