# Our own targets build warning-free with -Wall -Wextra.
function(backup_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra)
endfunction()

# Collects the sources of one folder; every class has one header and one source.
function(backup_glob_sources out)
    set(result)
    foreach(dir ${ARGN})
        file(GLOB found CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.h)
        list(APPEND result ${found})
    endforeach()
    set(${out} ${result} PARENT_SCOPE)
endfunction()
