#!/bin/bash
# Installs the build into a temporary prefix and checks the installation as a
# user meets it: the file-system layout, the scanner's --help against its
# manual page, the desktop entry, and the installed desktop program showing a
# help topic in its help window (driven by the probe library, see
# InstallProbe.cpp).
#
# usage: install_test.sh BUILD_DIR PROBE_LIBRARY
# The installed folders below the prefix come from the environment:
# CQ_BINDIR, CQ_DATADIR, CQ_PLUGINDIR, CQ_HELPERDIR, CQ_MANDIR, CQ_SHAREDIR.
set -u
build=$1
probe=$2
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
prefix=$tmp/prefix
if ! cmake --install "$build" --prefix "$prefix" >"$tmp/install.log" 2>&1; then
    cat "$tmp/install.log"
    echo "FAIL: cmake --install"
    exit 1
fi

# The layout. Nothing but the programs lies in the program folder, so the
# installed program can only find its help through the installed folders.
for f in "$CQ_BINDIR/cobaltquarry" "$CQ_BINDIR/cobaltquarry-scan" \
    "$CQ_HELPERDIR/cobaltquarry-scan-draw"; do
    [ -x "$prefix/$f" ] || fail "$f missing or not executable"
done
for f in "$CQ_DATADIR/Cobaltquarry.chm" "$CQ_PLUGINDIR/libcq_hhctrl.so" \
    "$CQ_SHAREDIR/applications/cobaltquarry.desktop" \
    "$CQ_SHAREDIR/metainfo/cobaltquarry.metainfo.xml" \
    "$CQ_MANDIR/man1/cobaltquarry.1.gz" "$CQ_MANDIR/man1/cobaltquarry-scan.1.gz"; do
    [ -f "$prefix/$f" ] || fail "$f missing"
done
for size in 16 32 48 64 128 256; do
    icon=$CQ_SHAREDIR/icons/hicolor/${size}x${size}/apps/cobaltquarry.png
    [ -f "$prefix/$icon" ] || fail "$icon missing"
done
others=$(ls "$prefix/$CQ_BINDIR" | grep -v -x -e cobaltquarry -e cobaltquarry-scan)
[ -z "$others" ] || fail "unexpected files in $CQ_BINDIR: $others"

# The scanner's --help runs, and it and the manual page name the same options.
if "$prefix/$CQ_BINDIR/cobaltquarry-scan" --help >"$tmp/help.txt" 2>&1; then
    grep -qi usage "$tmp/help.txt" || fail "cobaltquarry-scan --help prints no usage"
    # roff writes a dash as \-
    zcat "$prefix/$CQ_MANDIR/man1/cobaltquarry-scan.1.gz" | sed 's/\\-/-/g' >"$tmp/man.txt"
    options=$(grep -o -E -- '(^|[][ ,])--?[A-Za-z][A-Za-z-]*' "$tmp/help.txt" |
        sed -E 's/^[][ ,]//' | sort -u)
    [ -n "$options" ] || fail "no options found in cobaltquarry-scan --help"
    for option in $options; do
        grep -q -E -- "(^|[^A-Za-z-])$option([^A-Za-z-]|$)" "$tmp/man.txt" ||
            fail "option $option of --help is not in cobaltquarry-scan(1)"
    done
    # And the other way: every option the page describes (the tag lines of
    # its OPTIONS section) is one that --help lists, so neither is stale.
    described=$(sed -n '/^\.SH OPTIONS/,/^\.SH /{/^\.TP/{n;p}}' "$tmp/man.txt" |
        grep -o -E -- '(^|[ ,"])--?[A-Za-z][A-Za-z-]*' | sed -E 's/^[ ,"]//' | sort -u)
    [ -n "$described" ] || fail "no options found in the OPTIONS of cobaltquarry-scan(1)"
    for option in $described; do
        grep -q -E -- "(^|[^A-Za-z-])$option([^A-Za-z-]|$)" "$tmp/help.txt" ||
            fail "option $option of cobaltquarry-scan(1) is not in --help"
    done
    [ "$(echo "$options" | wc -l)" -eq "$(echo "$described" | wc -l)" ] ||
        fail "--help and cobaltquarry-scan(1) list different numbers of options"
else
    cat "$tmp/help.txt"
    fail "cobaltquarry-scan --help failed"
fi

# The installed scanner draws a pie through its installed drawing program,
# found from its own folder, not from the build tree.
mkdir -p "$tmp/scanned/sub" "$tmp/scandata"
head -c 5000 /dev/zero >"$tmp/scanned/sub/file"
XDG_DATA_HOME=$tmp/scandata "$prefix/$CQ_BINDIR/cobaltquarry-scan" --pie "$tmp/pie.png" \
    "$tmp/scanned" >"$tmp/pie.log" 2>&1 || fail "cobaltquarry-scan --pie: $(cat "$tmp/pie.log")"
[ "$(head -c 8 "$tmp/pie.png" 2>/dev/null | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] ||
    fail "cobaltquarry-scan --pie wrote no PNG file"
grep -q '5000' "$tmp/pie.log" || fail "cobaltquarry-scan --pie printed no report: $(cat "$tmp/pie.log")"

if [ -n "${CQ_DESKTOP_FILE_VALIDATE:-}" ]; then
    "$CQ_DESKTOP_FILE_VALIDATE" "$prefix/$CQ_SHAREDIR/applications/cobaltquarry.desktop" ||
        fail "desktop-file-validate"
else
    echo "desktop-file-validate not installed: desktop entry not validated"
fi

# The installed desktop program shows the tree's help topic in its own help
# window, reading the installed help file through the installed plugin.
mkdir -p "$tmp/home" "$tmp/data"
HOME=$tmp/home XDG_DATA_HOME=$tmp/data XDG_CONFIG_HOME=$tmp/home/.config \
    QT_QPA_PLATFORM=offscreen LD_PRELOAD=$probe \
    CQ_PROBE_ACTION=menuTreeHelp CQ_PROBE_OUT=$tmp/probe.txt \
    timeout 100 "$prefix/$CQ_BINDIR/cobaltquarry" >"$tmp/program.log" 2>&1
status=$?
cat "$tmp/probe.txt" 2>/dev/null
if [ $status -ne 0 ]; then
    cat "$tmp/program.log"
    fail "installed program: status $status"
fi
grep -q -x 'page=[a-z-]*:/Html/Tree.html' "$tmp/probe.txt" ||
    fail "the help window does not show /Html/Tree.html"
grep -q -x "plugin=$(realpath "$prefix/$CQ_PLUGINDIR/libcq_hhctrl.so")" "$tmp/probe.txt" ||
    fail "the installed plugin is not the one loaded"
grep -q -x "helpfile=$(realpath "$prefix/$CQ_DATADIR/Cobaltquarry.chm")" "$tmp/probe.txt" ||
    fail "the installed help file is not the one open"

[ $failures -eq 0 ] && echo "installation checked: $prefix"
exit $((failures > 0))
