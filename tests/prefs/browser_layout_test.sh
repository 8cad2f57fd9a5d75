#!/usr/bin/env bash
# Draws both tabs of the preferences page with `prefs render`, opens the drawing
# in headless Chromium, and lets layout_check.js read every control's box from
# the browser's own layout: each control of each tab has to be visible, inside
# its tab, clear of the other controls, and show its whole text.
#
# usage: browser_layout_test.sh HOST_PROGRAM LAYOUT_CHECK_JS
# Exits 77 (skipped) where Chromium or a font of the dialog's width is missing.
set -euo pipefail
host=$1 check_js=$2

chromium=${CHROMIUM:-$(command -v chromium || command -v chromium-browser || true)}
if [[ -z $chromium ]]; then
    echo "SKIPPED: Chromium is not installed (Debian package chromium), so the preferences" \
         "page's layout is not checked in a browser"
    exit 77
fi
if command -v fc-list >/dev/null &&
    ! fc-list : family | grep -qE '^(Tahoma|DejaVu Sans Condensed|DejaVu Sans,DejaVu Sans Condensed)$'; then
    echo "SKIPPED: neither Tahoma nor DejaVu Sans Condensed (Debian package fonts-dejavu-extra)" \
         "is installed, and text sized for the dialog's font does not fit in a wider one"
    exit 77
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$host" --profile "$work/profile" prefs render "$work/prefs.html" 2>"$work/host.log" >/dev/null ||
    { cat "$work/host.log"; exit 1; }
{
    sed '/<\/body>/,$d' "$work/prefs.html"
    printf '<script>\n'
    cat "$check_js"
    printf '</script>\n</body>\n</html>\n'
} >"$work/page.html"

timeout 120 "$chromium" --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
    --disable-background-networking --disable-component-update --disable-sync \
    --user-data-dir="$work/browser" --dump-dom "file://$work/page.html" \
    >"$work/dom.html" 2>"$work/browser.log" || { tail -n 20 "$work/browser.log"; exit 1; }
report=$(sed -n '/<pre id="layout-report">/,/<\/pre>/p' "$work/dom.html" | sed '1d;$d')
if [[ -z $report ]]; then
    echo "FAIL: the browser gave no layout report"
    tail -n 20 "$work/browser.log"
    exit 1
fi
echo "$report"

status=0
if grep -q '^fault:' <<<"$report"; then
    status=1
fi
# Every control the page's templates hold, as `prefs show` lists them, has to have
# been checked: a control the drawing left out would pass unseen otherwise.
tab_number=0
for tab in general commands; do
    expected=$("$host" --profile "$work/profile" prefs show "$tab" 2>/dev/null |
               grep -E '^  ([0-9]+|-) ' | grep -vc ' tab control' || true)
    checked=$(grep '^tab ' <<<"$report" | sed -n "$((tab_number + 1))p" | grep -oE '[0-9]+ controls$' |
              cut -d' ' -f1)
    if [[ $checked != "$expected" ]]; then
        echo "FAIL: tab $tab has $expected controls, the browser checked ${checked:-none}"
        status=1
    fi
    tab_number=$((tab_number + 1))
done
exit $status
