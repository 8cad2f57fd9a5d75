# The 64-bit Windows build runs its programs here under wine64 (Debian's wine64),
# through tests/windows/wine-run.in, configured into the build folder: CTest runs
# every test through it (CMAKE_CROSSCOMPILING_EMULATOR), in a Wine prefix of the
# build's own. Without wine64 the Windows tests are skipped.
find_program(WINE64_PROGRAM wine64 PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(WINE64_PROGRAM)
    get_filename_component(wine_dir ${WINE64_PROGRAM} DIRECTORY)
    find_program(WINESERVER_PROGRAM wineserver PATHS ${wine_dir} /usr/lib/wine
        NO_CMAKE_FIND_ROOT_PATH)
    set(TAGSHELF_WINE_PREFIX ${CMAKE_BINARY_DIR}/wine-prefix)
    configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-run.in ${CMAKE_BINARY_DIR}/wine-run @ONLY
        FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                         WORLD_READ WORLD_EXECUTE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)
endif()
