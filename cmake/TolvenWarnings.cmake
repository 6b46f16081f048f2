# Warnings are errors everywhere, the MinGW cross build included.
add_compile_options(-Wall -Wextra -Wpedantic -Werror)
