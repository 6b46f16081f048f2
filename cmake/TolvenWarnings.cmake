# Every warning the compilers offer for the code, the MinGW cross build included. They stop the
# build only with TOLVEN_WERROR, which CI (scripts/test.sh) and CMakePresets.json turn on: a
# user's newer compiler may warn where ours does not, and must not break the build for it.
option(TOLVEN_WERROR "Treat compiler warnings as errors" OFF)
add_compile_options(-Wall -Wextra -Wpedantic)
if(TOLVEN_WERROR)
    add_compile_options(-Werror)
endif()
