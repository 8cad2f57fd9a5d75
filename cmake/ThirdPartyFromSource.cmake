# The libraries of the Windows and the 32-bit Linux builds, compiled from the
# pinned sources that scripts/fetch-third-party unpacked into
# TAGSHELF_THIRD_PARTY_DIR. Each stands in under the name the system's package
# gives it in the 64-bit Linux build, so the rest of the build reads the same.
if(NOT EXISTS ${TAGSHELF_THIRD_PARTY_DIR}/sources.cmake)
    message(FATAL_ERROR "No third-party sources in ${TAGSHELF_THIRD_PARTY_DIR}: "
        "run scripts/fetch-third-party first")
endif()
include(${TAGSHELF_THIRD_PARTY_DIR}/sources.cmake)

# Other people's code compiles without our warnings, and through ccache where
# there is one: SQLite alone is a quarter of a million lines.
function(tagshelf_third_party_target target)
    target_compile_options(${target} PRIVATE -w)
    set_target_properties(${target} PROPERTIES C_COMPILER_LAUNCHER "${CMAKE_CXX_COMPILER_LAUNCHER}")
endfunction()

# SQLite, from its amalgamation; loadable extensions are never used.
add_library(tagshelf_sqlite3 STATIC ${TAGSHELF_SQLITE_DIR}/sqlite3.c)
target_include_directories(tagshelf_sqlite3 SYSTEM PUBLIC ${TAGSHELF_SQLITE_DIR})
target_compile_definitions(tagshelf_sqlite3 PRIVATE SQLITE_THREADSAFE=1 SQLITE_OMIT_LOAD_EXTENSION)
target_link_libraries(tagshelf_sqlite3 PRIVATE Threads::Threads)
tagshelf_third_party_target(tagshelf_sqlite3)
add_library(SQLite::SQLite3 ALIAS tagshelf_sqlite3)

# utf8proc, linked statically: its header then declares no DLL imports.
add_library(tagshelf_utf8proc STATIC ${TAGSHELF_UTF8PROC_DIR}/utf8proc.c)
target_include_directories(tagshelf_utf8proc SYSTEM PUBLIC ${TAGSHELF_UTF8PROC_DIR})
target_compile_definitions(tagshelf_utf8proc PUBLIC UTF8PROC_STATIC)
tagshelf_third_party_target(tagshelf_utf8proc)
add_library(PkgConfig::UTF8PROC ALIAS tagshelf_utf8proc)

# Abseil: the containers and the hash are headers, apart from these few sources
# (the empty control group of the hash tables, the hash's seed and mixing, and
# the failure paths they call).
set(absl_dir ${TAGSHELF_ABSEIL_DIR}/absl)
add_library(tagshelf_absl STATIC
    ${absl_dir}/container/internal/raw_hash_set.cc
    ${absl_dir}/hash/internal/hash.cc
    ${absl_dir}/hash/internal/city.cc
    ${absl_dir}/hash/internal/low_level_hash.cc
    ${absl_dir}/base/internal/raw_logging.cc
    ${absl_dir}/base/internal/throw_delegate.cc
)
target_include_directories(tagshelf_absl SYSTEM PUBLIC ${TAGSHELF_ABSEIL_DIR})
target_compile_features(tagshelf_absl PUBLIC cxx_std_17)
tagshelf_third_party_target(tagshelf_absl)
foreach(part btree flat_hash_set flat_hash_map hash)
    add_library(absl::${part} ALIAS tagshelf_absl)
endforeach()

# The hopscotch map and xxHash are headers only, taken from Debian's packages.
add_library(tsl::hopscotch_map INTERFACE IMPORTED)
target_include_directories(tsl::hopscotch_map SYSTEM INTERFACE
    ${TAGSHELF_HOPSCOTCH_DIR}/usr/include)
set(XXHASH_INCLUDE_DIR ${TAGSHELF_XXHASH_DIR}/usr/include CACHE PATH "xxhash.h is here" FORCE)

if(NOT WIN32)
    # The stand-in host's MD5, from libmd; its build configuration is empty
    # for MD5.
    file(WRITE ${CMAKE_BINARY_DIR}/libmd-config/config.h "")
    add_library(md STATIC ${TAGSHELF_LIBMD_DIR}/src/md5.c)
    target_include_directories(md SYSTEM PUBLIC ${TAGSHELF_LIBMD_DIR}/include)
    target_include_directories(md PRIVATE ${CMAKE_BINARY_DIR}/libmd-config)
    tagshelf_third_party_target(md)
endif()

# GoogleTest, from the sources Debian ships.
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
add_subdirectory(${TAGSHELF_GOOGLETEST_DIR}/usr/src/googletest
    ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
foreach(target gtest gtest_main gmock gmock_main)
    tagshelf_third_party_target(${target})
endforeach()
