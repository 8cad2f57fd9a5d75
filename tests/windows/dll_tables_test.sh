#!/usr/bin/env bash
# Reads a component DLL's headers with objdump and fails unless
#   - its machine is MACHINE (i386: a PE32 file; x86-64: a PE32+ file),
#   - it exports exactly one function, sonarith_get_interface, by that very
#     name (no decoration such as a leading underscore or "@8"),
#   - every library it imports is one of Windows' own, so that copying the one
#     file installs the component;
#   - its version resource, read back with WINDRES, names the component
#     "snr_tagshelf", version "0.1.2", with the about text.
#
#   dll_tables_test.sh OBJDUMP WINDRES DLL i386|x86-64
set -uo pipefail
(($# == 4)) || {
    echo "usage: $0 OBJDUMP WINDRES DLL i386|x86-64" >&2
    exit 2
}
objdump=$1 windres=$2 dll=$3 machine=$4
case $machine in
    i386) format=pei-i386 magic='010b (PE32)' ;;
    x86-64) format=pei-x86-64 magic='020b (PE32+)' ;;
    *)
        echo "unknown machine $machine" >&2
        exit 2
        ;;
esac

headers=$("$objdump" -p "$dll") || {
    echo "FAIL: $objdump cannot read $dll" >&2
    exit 1
}
failed=0
fail() {
    echo "FAIL: $*" >&2
    failed=1
}

grep -q "file format $format\$" <<<"$headers" ||
    fail "not a $format file: $(grep -m1 'file format' <<<"$headers")"
# "Magic		010b	(PE32)": the optional header's magic number and its kind.
read -r _ number kind <<<"$(grep -m1 '^Magic' <<<"$headers")"
[[ "$number $kind" == "$magic" ]] || fail "optional header is $number $kind, not $magic"
sed -n '/^Characteristics/,/^$/p' <<<"$headers" | grep -q '^[[:space:]]*DLL$' ||
    fail "the file is not marked as a DLL"

# The export name table: a heading, then one "[   0] NAME" row per name.
exports=$(awk '/^\[Ordinal\/Name Pointer\] Table/ { table = 1; next }
               table && /^[[:space:]]*\[ *[0-9]+\] / { print $NF; next }
               { table = 0 }' <<<"$headers")
if [[ $exports != sonarith_get_interface ]]; then
    fail "exports are [$(echo $exports)], expected exactly sonarith_get_interface"
fi

# Windows' own libraries; the C runtime is the system's msvcrt.
allowed=(kernel32.dll user32.dll gdi32.dll comctl32.dll comdlg32.dll advapi32.dll shell32.dll
    ole32.dll oleaut32.dll shlwapi.dll uxtheme.dll version.dll msvcrt.dll ws2_32.dll)
imports=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers")
[[ -n $imports ]] || fail "no import table"
for name in $imports; do
    lower=$(tr '[:upper:]' '[:lower:]' <<<"$name")
    [[ " ${allowed[*]} " == *" $lower "* ]] || fail "imports $name, which Windows does not provide"
done

# The resource as a resource script: one VALUE line per text, escapes kept.
resource=$("$windres" -i "$dll" -O rc 2>&1)
for value in '"ProductName", "snr_tagshelf"' '"FileVersion", "0.1.2"' \
    '"ProductVersion", "0.1.2"' \
    '"FileDescription", "Allows database-only info fields, without modifying files.\n"'; do
    grep -Fq "VALUE $value" <<<"$resource" || fail "the version resource lacks $value"
done
grep -Eq '^ *FILEVERSION 0, ?1, ?2, ?0$' <<<"$resource" || fail "the file version is not 0.1.2.0"

echo "machine $machine ($magic); exports: $exports; imports:" $imports
exit $failed
