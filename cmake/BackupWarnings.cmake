# Our own targets build warning-free with -Wall -Wextra.
function(backup_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra)
endfunction()
