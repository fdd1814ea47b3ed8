#!/usr/bin/env bash
# Installs the built player the way a person or a package would and checks what a desktop gets:
#   install_test.sh BUILD_DIR APP_ID ICON_SVG MAKE_TEST_MEDIA INSTALLED_PLAYER_TESTS
# Every check runs; the test fails if any of them failed.
set -euo pipefail
build=$1 id=$2 icon_svg=$3 make_test_media=$4 installed_player_tests=$5

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# The files an install must hold, relative to the prefix, with their kind (f file, l link).
expected_tree() {
    echo "bin/vessa-video-player l"
    echo "lib/vessa-video-player/vessa-video-player f"
    for png in "$build"/bin/*.png; do
        echo "lib/vessa-video-player/${png##*/} f"
    done
    echo "share/applications/$id.desktop f"
    echo "share/metainfo/$id.metainfo.xml f"
    echo "share/man/man1/vessa-video-player.1 f"
    echo "share/icons/hicolor/scalable/apps/$id.svg f"
    for size in 16 22 24 32 48 64 128 256; do
        echo "share/icons/hicolor/${size}x${size}/apps/$id.png f"
    done
}

check_tree() {
    local prefix=$1
    if ! diff <(expected_tree | sort) \
        <(cd "$prefix" && find . -mindepth 1 \( -type f -o -type l \) -printf '%P %y\n' | sort) \
        >"$tmp/tree.diff"; then
        fail "the tree under $prefix is not the expected one (< missing, > extra):"
        cat "$tmp/tree.diff" >&2
    fi
    # A relative link keeps working when the tree moves (DESTDIR, a copied prefix).
    local target
    target=$(readlink "$prefix/bin/vessa-video-player" || true)
    [ "$target" = "../lib/vessa-video-player/vessa-video-player" ] ||
        fail "bin/vessa-video-player links to '$target'"
    [ -x "$prefix/bin/vessa-video-player" ] || fail "bin/vessa-video-player does not run"
    if readelf -d "$prefix/lib/vessa-video-player/vessa-video-player" | grep -qF "$build"; then
        fail "the installed executable still looks for libraries in the build tree"
    fi
}

# 1. Into a package root (DESTDIR) under /usr, and straight into a home-style prefix.
DESTDIR=$tmp/root cmake --install "$build" --prefix /usr >/dev/null || fail "install with DESTDIR"
cmake --install "$build" --prefix "$tmp/home/.local" >/dev/null || fail "install into ~/.local"
# Installing again over an install must work (the link already exists).
cmake --install "$build" --prefix "$tmp/home/.local" >/dev/null || fail "second install"
check_tree "$tmp/root/usr"
check_tree "$tmp/home/.local"
usr=$tmp/root/usr

# 2. The desktop entry: valid, starting the installed command with the installed icon, and offered
# by the desktop for the player's own video types.
desktop=$usr/share/applications/$id.desktop
out=$(desktop-file-validate "$desktop" 2>&1) && [ -z "$out" ] || fail "desktop-file-validate: $out"
exec_cmd=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
[ -x "$usr/bin/$exec_cmd" ] || fail "Exec names '$exec_cmd', which is not installed in bin"
icon=$(sed -n 's/^Icon=//p' "$desktop")
[ -f "$usr/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "Icon '$icon' is not installed"
update-desktop-database "$usr/share/applications"
for type in video/x-msvideo video/mpeg; do
    grep -q "^$type=.*$id.desktop" "$usr/share/applications/mimeinfo.cache" ||
        fail "the desktop does not offer the player for $type"
done

# 3. The software-centre metadata and the manual page.
out=$(appstreamcli validate --no-net "$usr/share/metainfo/$id.metainfo.xml" 2>&1) ||
    fail "appstreamcli validate: $out"
out=$(MANWIDTH=80 man --warnings -l "$usr/share/man/man1/vessa-video-player.1" 2>&1 >/dev/null) &&
    [ -z "$out" ] || fail "man --warnings: $out"

# 4. The theme's scalable icon is the very file the program draws its icon from.
cmp -s "$icon_svg" "$usr/share/icons/hicolor/scalable/apps/$id.svg" ||
    fail "the installed SVG icon is not the program's icon source"

# 5. The installed player, through its link, on a generated clip, looked at on the X server.
"$make_test_media" --demo "$tmp/demo.avi" >/dev/null || fail "cannot generate the clip"
VESSA_INSTALLED_PREFIX=$usr VESSA_INSTALL_CLIP=$tmp/demo.avi "$installed_player_tests" ||
    fail "the installed player (see above)"

[ "$failures" -eq 0 ] && echo "install test: every check passed"
exit $((failures > 0))
