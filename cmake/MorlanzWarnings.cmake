# Warning flags shared by every target of the project.
add_library(morlanz_warnings INTERFACE)
target_compile_options(morlanz_warnings INTERFACE -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor
                                                  -Wold-style-cast -Wcast-align -Woverloaded-virtual)
if(MORLANZ_WERROR)
    target_compile_options(morlanz_warnings INTERFACE -Werror)
endif()
if(MORLANZ_ASAN)
    target_compile_options(morlanz_warnings INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer)
    target_link_options(morlanz_warnings INTERFACE -fsanitize=address,undefined)
endif()
