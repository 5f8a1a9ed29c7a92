add_library(project_warnings INTERFACE)
target_compile_options(project_warnings INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Werror)
# g++ 12 at -O3 reports overlaps that cannot happen when a string literal is
# joined to a std::string (GCC bug 105329); the check is kept everywhere else.
target_compile_options(project_warnings INTERFACE
    $<$<AND:$<CXX_COMPILER_ID:GNU>,$<VERSION_LESS:$<CXX_COMPILER_VERSION>,13>>:-Wno-restrict>)

add_library(project_options INTERFACE)
target_link_libraries(project_options INTERFACE project_warnings)
if(BRINDLE_SANITIZE)
    target_compile_options(project_options INTERFACE
        -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_link_options(project_options INTERFACE -fsanitize=address,undefined)
endif()

# brindle_core_library(name sources...): a Qt-free core library of one folder.
function(brindle_core_library name)
    add_library(${name} STATIC ${ARGN})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC project_options)
endfunction()
