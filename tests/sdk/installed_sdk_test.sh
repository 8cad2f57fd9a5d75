#!/usr/bin/env bash
# Installs this build into a fresh prefix, builds the example component against
# that prefix alone, once with find_package(TagShelf) and once with pkg-config,
# and loads each build into the installed host beside the installed Tag Shelf.
#
# usage: installed_sdk_test.sh BUILD_DIR SOURCE_DIR CXX GENERATOR [SANITIZE]
set -euo pipefail
build_dir=$1 source_dir=$2 cxx=$3 generator=$4 sanitize=${5:-}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix

# Sanitized builds install an instrumented support library; the component
# that links it has to be built the same way.
flags=()
[[ -n $sanitize ]] && flags=(-fsanitize="$sanitize" -fno-omit-frame-pointer)

cmake --install "$build_dir" --prefix "$prefix" >"$work/install.log"

cmake -S "$source_dir/examples/star_rating" -B "$work/cmake-build" -G "$generator" \
    -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_BUILD_TYPE=Release -DCMAKE_PREFIX_PATH="$prefix" \
    -DCMAKE_CXX_FLAGS="${flags[*]}" >"$work/configure.log" ||
    { cat "$work/configure.log"; exit 1; }
cmake --build "$work/cmake-build" >"$work/build.log" || { cat "$work/build.log"; exit 1; }

pc_libdir=$(dirname "$(find "$prefix" -name tagshelf.pc)")
read -ra pc_flags <<<"$(PKG_CONFIG_PATH=$pc_libdir pkg-config --cflags --libs tagshelf)"
"$cxx" -std=c++17 -shared -fPIC -fvisibility=hidden "${flags[@]}" \
    "$source_dir/examples/star_rating/star_rating.cpp" "${pc_flags[@]}" -o "$work/star_rating_pc.so"

status=0
for component in "$work/cmake-build/star_rating.so" "$work/star_rating_pc.so"; do
    rm -rf "$work/profile"
    got=$(printf '%s\n' 'storage use text' 'library add /music/a.flac' \
              'fields set /music/a.flac RATING 4' "format '%stars%|%RATING%' /music/a.flac" |
          "$prefix/bin/sonarith-host" --profile "$work/profile" --component "$component" shell \
              2>"$work/host.log" | tail -n 1)
    if [[ $got == '★★★★☆|4' ]]; then
        echo "ok: $(basename "$component") shows '$got'"
    else
        echo "FAIL: $(basename "$component") printed '$got' instead of '★★★★☆|4'"
        cat "$work/host.log"
        status=1
    fi
done
exit $status
