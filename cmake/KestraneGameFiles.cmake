# What a Kestrane game needs beside its program: the engine reads the font "ks-font.ttf" and the
# game's sprite files from the folder the game runs in. Installed with the CMake package, so that
# find_package(Kestrane) gives every game these two functions.
#
#   kestrane_find_font()
#       Sets the cache variable KESTRANE_FONT_FILE to DejaVu Sans Mono Bold, looked for where
#       Debian puts it (fonts-dejavu-core) first, then in the usual font folders; stops with a
#       message saying how to name another font when none is found.
#   kestrane_game_files(<target> <file or pattern>...)
#       Copies the font (as ks-font.ttf) and the game's files, named or matched by shell patterns
#       relative to the current source folder, into the folder <target>'s program is built in.
include_guard(GLOBAL)

function(kestrane_find_font)
    find_file(KESTRANE_FONT_FILE DejaVuSansMono-Bold.ttf
        HINTS /usr/share/fonts/truetype/dejavu
        PATHS /usr/share/fonts /usr/local/share/fonts PATH_SUFFIXES dejavu TTF
        DOC "The font a Kestrane game gets as ks-font.ttf")
    if(NOT KESTRANE_FONT_FILE)
        message(FATAL_ERROR "Kestrane: DejaVuSansMono-Bold.ttf not found. Install the DejaVu fonts "
                            "(Debian: fonts-dejavu-core) or give a font with -DKESTRANE_FONT_FILE=/path/to/font.ttf")
    endif()
endfunction()

function(kestrane_game_files target)
    kestrane_find_font()
    get_target_property(folder ${target} RUNTIME_OUTPUT_DIRECTORY)
    if(NOT folder)
        set(folder "${CMAKE_CURRENT_BINARY_DIR}")
    endif()
    configure_file("${KESTRANE_FONT_FILE}" "${folder}/ks-font.ttf" COPYONLY)
    foreach(pattern ${ARGN})
        file(GLOB files CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/${pattern}")
        if(NOT files)
            message(FATAL_ERROR "kestrane_game_files(${target}): no file matches ${pattern}")
        endif()
        foreach(file ${files})
            get_filename_component(name "${file}" NAME)
            configure_file("${file}" "${folder}/${name}" COPYONLY)
        endforeach()
    endforeach()
endfunction()
