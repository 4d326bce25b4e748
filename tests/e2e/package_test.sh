#!/usr/bin/env bash
# Installing Deskword puts the program, its desktop entry, its icons, its AppStream
# metadata, its manual page, its English translation and its licence where a Linux desktop looks for
# them: with `cmake --install`, and in the .deb that cpack builds, whose dependencies
# come from dpkg-shlibdeps and name a Japanese font, and on which lintian finds no
# error and no warning. The program from the package runs, and its windows carry the window class
# that the desktop entry's StartupWMClass names.
#
# Arguments: --build DIR (the build folder that holds the deskword executable), then
# those of every end-to-end test (see lib.sh).
build=""
if [[ ${1:-} == --build ]]; then
    build=$2
    shift 2
fi
source "$(dirname "$0")/lib.sh"
[[ -f $build/CMakeCache.txt ]] || { echo "usage: $0 --build DIR --deskword PATH --tools DIR" >&2 && exit 2; }
e2e_begin "$@"

app_id=io.github.deskword.Deskword
for tool in desktop-file-validate appstreamcli lintian dpkg-shlibdeps dpkg-deb cpack identify xprop strings; do
    command -v "$tool" >/dev/null || e2e_fail "$tool is not installed (scripts/deps.sh installs it)"
done

# The value of a key in a desktop entry's [Desktop Entry] group.
entry_value()
{
    awk -v key="$1=" '/^\[/ { group = ($0 == "[Desktop Entry]"); next }
        group && index($0, key) == 1 { print substr($0, length(key) + 1); exit }' "$2"
}

# check_tree ROOT LABEL: the installed files under ROOT (a prefix such as /usr).
check_tree()
{
    local root=$1 label=$2
    local program=$root/bin/deskword
    local entry=$root/share/applications/$app_id.desktop
    local metainfo=$root/share/metainfo/$app_id.metainfo.xml

    [[ -f $program && -x $program ]] || e2e_fail "$label: no executable bin/deskword"
    [[ $(head -c 4 "$program" | od -An -c | tr -d ' ') == '177ELF' ]] ||
        e2e_fail "$label: bin/deskword is not an ELF program"
    # QStringLiteral keeps the id as UTF-16 in the program.
    strings -e l "$program" | grep -xF "$app_id" >/dev/null ||
        e2e_fail "$label: the program does not name $app_id as its desktop file"

    [[ -f $entry ]] || e2e_fail "$label: no share/applications/$app_id.desktop"
    desktop-file-validate "$entry" >"$E2E_TMP/validate.log" 2>&1 ||
        e2e_fail "$label: the desktop entry is not valid: $(cat "$E2E_TMP/validate.log")"
    [[ $(entry_value Type "$entry") == Application ]] || e2e_fail "$label: Type is not Application"
    [[ $(entry_value Name "$entry") == Deskword ]] || e2e_fail "$label: Name is not Deskword"
    [[ -n $(entry_value Comment "$entry") ]] || e2e_fail "$label: no English Comment"
    [[ -n $(entry_value 'Comment[ja]' "$entry") ]] || e2e_fail "$label: no Japanese Comment"
    [[ ";$(entry_value Categories "$entry")" == *";Utility;"* ]] ||
        e2e_fail "$label: Categories do not hold Utility"
    local exec
    exec=$(entry_value Exec "$entry")
    [[ $exec == deskword ]] || e2e_fail "$label: Exec is '$exec', expected deskword"
    [[ $(entry_value Icon "$entry") == "$app_id" ]] ||
        e2e_fail "$label: Icon is '$(entry_value Icon "$entry")', expected $app_id"
    STARTUP_WM_CLASS=$(entry_value StartupWMClass "$entry")
    [[ -n $STARTUP_WM_CLASS ]] || e2e_fail "$label: no StartupWMClass"

    local size icon
    for size in 32 128; do
        icon=$root/share/icons/hicolor/${size}x$size/apps/$app_id.png
        [[ -f $icon ]] || e2e_fail "$label: no ${size}x$size icon"
        [[ $(identify -format '%m %w %h' "$icon" 2>/dev/null) == "PNG $size $size" ]] ||
            e2e_fail "$label: the ${size}x$size icon is '$(identify -format '%m %w %h' "$icon" 2>&1)'"
    done

    # The manual page names every option that --help lists (which needs no display).
    local page=$root/share/man/man1/deskword.1.gz option
    [[ -f $page ]] || e2e_fail "$label: no share/man/man1/deskword.1.gz"
    local options text help
    help=$(env -u DISPLAY "$program" --help) || e2e_fail "$label: --help failed"
    options=$(grep -oE -- '(^|[ ,])--?[a-z][a-z-]*' <<<"$help" | tr -d ' ,' | sort -u)
    [[ $options == *--edit* && $options == *--quit* ]] || e2e_fail "$label: --help lists '$options'"
    # In the page's source a hyphen is written \-.
    text=$(zcat "$page" | sed 's/\\-/-/g')
    for option in $options; do
        grep -qF -- "$option" <<<"$text" || e2e_fail "$label: the manual page does not name $option"
    done
    [[ $(grep -c '^\.SH \(NAME\|SYNOPSIS\|DESCRIPTION\|OPTIONS\|FILES\|ENVIRONMENT\|SEE ALSO\)$' <<<"$text") == 7 ]] ||
        e2e_fail "$label: the manual page lacks a section"
    grep -qF "deskword $VERSION" <<<"$text" || e2e_fail "$label: the manual page is not of version $VERSION"

    [[ -f $metainfo ]] || e2e_fail "$label: no share/metainfo/$app_id.metainfo.xml"
    appstreamcli validate --no-net "$metainfo" >"$E2E_TMP/appstream.log" 2>&1 ||
        e2e_fail "$label: the AppStream metadata is not valid: $(cat "$E2E_TMP/appstream.log")"
    grep -qF "<id>$app_id</id>" "$metainfo" || e2e_fail "$label: the metadata's id is not $app_id"
    grep -qF "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" ||
        e2e_fail "$label: the metadata does not launch $app_id.desktop"
    grep -qF "<release version=\"$VERSION\"" "$metainfo" ||
        e2e_fail "$label: the metadata's release is not $VERSION"

    [[ -s $root/share/deskword/translations/deskword_en.qm ]] ||
        e2e_fail "$label: no share/deskword/translations/deskword_en.qm"
    local copyright=$root/share/doc/deskword/copyright
    [[ -f $copyright ]] || e2e_fail "$label: no share/doc/deskword/copyright"
    grep -qx 'License: Expat' "$copyright" || e2e_fail "$label: the copyright file names no licence"
    gzip -t "$root/share/doc/deskword/changelog.gz" 2>/dev/null ||
        e2e_fail "$label: no share/doc/deskword/changelog.gz"
    [[ ! -e $root/share/deskword/autostart ]] ||
        e2e_fail "$label: the old disabled autostart entry is still installed"
}

# The project's version, the one place it is written.
VERSION=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
[[ -n $VERSION ]] || e2e_fail "no project version in the build's cache"

# --- cmake --install ---
prefix=$E2E_TMP/prefix
cmake --install "$build" --prefix "$prefix" >"$E2E_TMP/install.log" 2>&1 ||
    e2e_fail "cmake --install failed: $(tail -n 5 "$E2E_TMP/install.log")"
check_tree "$prefix" "cmake --install"
cmp -s "$prefix/bin/deskword" "$E2E_DESKWORD" || e2e_fail "the installed program is not the built one"

# --- the Debian package ---
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$E2E_TMP/cpack" >"$E2E_TMP/cpack.log" 2>&1 ||
    e2e_fail "cpack failed: $(tail -n 10 "$E2E_TMP/cpack.log")"
packages=("$E2E_TMP"/cpack/deskword_*.deb)
[[ ${#packages[@]} == 1 && -f ${packages[0]} ]] ||
    e2e_fail "cpack made no single deskword_*.deb: $(ls "$E2E_TMP/cpack")"
package=${packages[0]}
[[ $(dpkg-deb -f "$package" Package) == deskword ]] || e2e_fail "the package is not named deskword"
[[ $(dpkg-deb -f "$package" Section) == utils ]] || e2e_fail "the package's section is not utils"
[[ $(dpkg-deb -f "$package" Version) == "$VERSION" ]] ||
    e2e_fail "the package's version is $(dpkg-deb -f "$package" Version), expected $VERSION"
maintainer=$(dpkg-deb -f "$package" Maintainer)
[[ $maintainer =~ ^Deskword\ developers\ \<[^@\ ]+@[^\ ]+\>$ ]] ||
    e2e_fail "the package's maintainer is '$maintainer'"
depends=$(dpkg-deb -f "$package" Depends)
[[ ", $depends," =~ ,\ libqt6widgets6[\ ,] ]] ||
    e2e_fail "the package's Depends do not name libqt6widgets6: '$depends'"
[[ ", $depends," =~ ,\ libc6[\ ,] ]] ||
    e2e_fail "the package's Depends do not name libc6 (no dpkg-shlibdeps?): '$depends'"
[[ ", $depends," == *", fonts-ipafont-gothic | fonts-noto-cjk | "* ]] ||
    e2e_fail "the package's Depends name no Japanese font: '$depends'"
# Neither errors nor warnings from lintian.
lintian --fail-on error,warning "$package" >"$E2E_TMP/lintian.log" 2>&1 ||
    e2e_fail "lintian reports errors on the package:"$'\n'"$(grep -v '^running with root' "$E2E_TMP/lintian.log")"
root=$E2E_TMP/root
dpkg -x "$package" "$root" || e2e_fail "dpkg -x failed"
check_tree "$root/usr" ".deb"
# Nothing outside /usr.
outside=$(cd "$root" && find . -mindepth 1 -maxdepth 1 ! -name usr)
[[ -z $outside ]] || e2e_fail "the package installs outside /usr: $outside"

# --- the packaged program runs and carries the entry's window class ---
e2e_start_app "$root/usr/bin"
windows=$(e2e_windows "$E2E_PID") || e2e_fail "the packaged program shows no window"
for window in $windows; do
    # WM_CLASS(STRING) = "instance", "class"
    wm_class=$(xprop -id "$window" WM_CLASS 2>/dev/null) || e2e_fail "no WM_CLASS on window $window"
    [[ $wm_class == *", \"$STARTUP_WM_CLASS\"" ]] ||
        e2e_fail "window $window has $wm_class; StartupWMClass is $STARTUP_WM_CLASS"
done
is_running "$E2E_PID" || e2e_fail "the packaged program ended by itself"

e2e_pass
