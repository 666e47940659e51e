#!/usr/bin/env bash
# Checks of what `cmake --install` and `cpack` deliver, run by CTest:
#   check-package.sh install  <build-dir> <stage-dir> <app-id> <plugin-dir> <plugin>...
#   check-package.sh desktop  <stage-dir> <app-id>
#   check-package.sh metainfo <stage-dir> <app-id>
#   check-package.sh icon     <stage-dir> <app-id>
#   check-package.sh manual   <stage-dir>
#   check-package.sh deb      <build-dir> <out-dir> <stage-dir>
#   check-package.sh lintian  <out-dir>
#   check-package.sh links    <binary> <sound-module>
# Exits 77 (skipped) when a tool the check needs is not installed.
set -euo pipefail

skipped=77
fail() { echo "FAIL: $*" >&2; exit 1; }
need() {
    for tool in "$@"; do
        command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit $skipped; }
    done
}
# The value of a key of the desktop entry's main group.
entry() { sed -n "s/^$2=//p" "$1" | head -n 1; }
# Every installed file, relative to the root of a tree.
files_under() { (cd "$1" && find . -type f -o -type l) | sed 's|^\./||' | sort; }

desktop_file() { echo "$1/usr/share/applications/$2.desktop"; }
metainfo_file() { echo "$1/usr/share/metainfo/$2.metainfo.xml"; }
icon_file() { echo "$1/usr/share/icons/hicolor/scalable/apps/$2.svg"; }

check_install() {
    local build=$1 stage=$2 id=$3 plugins=$4
    shift 4
    rm -rf "$stage"
    DESTDIR="$stage" cmake --install "$build" --prefix /usr >/dev/null

    # Exactly these files: no test, benchmark, tool or library slips in; the
    # plugins all in the one plugin folder.
    local expected
    expected=$(printf '%s\n' usr/bin/soramina \
        "${@/#/usr/$plugins/}" \
        "usr/share/applications/$id.desktop" \
        usr/share/doc/soramina/README.md \
        usr/share/doc/soramina/changelog.gz \
        usr/share/doc/soramina/copyright \
        "usr/share/icons/hicolor/scalable/apps/$id.svg" \
        "usr/share/metainfo/$id.metainfo.xml" \
        usr/share/man/man1/soramina.1.gz | sort)
    diff <(echo "$expected") <(files_under "$stage") >&2 || fail "installed files differ (< expected, > installed)"
    [[ -x $stage/usr/bin/soramina ]] || fail "usr/bin/soramina is not executable"

    # The three files must name each other and the binary consistently.
    local desktop metainfo
    desktop=$(desktop_file "$stage" "$id")
    metainfo=$(metainfo_file "$stage" "$id")
    local exec
    exec=$(entry "$desktop" Exec)
    [[ -x $stage/usr/bin/${exec%% *} ]] || fail "Exec=$exec names no installed binary"
    [[ $(entry "$desktop" Icon) == "$id" ]] || fail "Icon= is not the application id $id"
    grep -q "<id>$id</id>" "$metainfo" || fail "the metainfo's <id> is not $id"
    grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" \
        || fail "the metainfo does not launch $id.desktop"
    grep -q "<binary>${exec%% *}</binary>" "$metainfo" || fail "the metainfo does not provide ${exec%% *}"
    echo "installed: $(files_under "$stage" | wc -l) files, consistent"
}

check_desktop() {
    need desktop-file-validate
    local report
    report=$(desktop-file-validate "$(desktop_file "$1" "$2")" 2>&1) || true
    # Warnings count too, though the tool exits 0 on them.
    [[ -n $report ]] && echo "$report"
    if grep -q -E ': (error|warning): ' <<<"$report"; then
        fail "desktop-file-validate found faults"
    fi
    # One main category, so menus list the entry once.
    local main='^(AudioVideo|Development|Education|Game|Graphics|Network|Office|Science|Settings|System|Utility)$'
    local categories
    categories=$(entry "$(desktop_file "$1" "$2")" Categories | tr ';' '\n' | grep -c -E "$main" || true)
    [[ $categories == 1 ]] || fail "$categories main categories"
    echo "desktop entry valid, one main category"
}

check_metainfo() {
    need appstreamcli
    appstreamcli validate --no-net --pedantic "$(metainfo_file "$1" "$2")" \
        || fail "appstreamcli rejects the metainfo"
    grep -q '<content_rating type="oars-1.1"' "$(metainfo_file "$1" "$2")" \
        || fail "the metainfo has no OARS 1.1 content rating"
}

check_icon() {
    need python3 rsvg-convert
    local icon png
    icon=$(icon_file "$1" "$2")
    python3 -c 'import sys, xml.etree.ElementTree as t; t.parse(sys.argv[1])' "$icon" \
        || fail "the icon is not well-formed XML"
    png=$(mktemp --suffix=.png)
    trap 'rm -f "$png"' RETURN
    rsvg-convert -w 48 -h 48 "$icon" -o "$png" || fail "the icon does not render"
    [[ $(file -b "$png") == "PNG image data, 48 x 48,"* ]] || fail "the icon renders as $(file -b "$png")"
    echo "icon renders"
}

# The manual page renders without a complaint from groff, as lintian checks it,
# and has the sections a reader looks for; the changelog names this version.
check_manual() {
    need man gzip
    local stage=$1 page=$1/usr/share/man/man1/soramina.1.gz doc=$1/usr/share/doc/soramina
    local text warnings
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 >/dev/null) || true
    [[ -z $warnings ]] || fail "man complains: $warnings"
    text=$(LC_ALL=C.UTF-8 MANWIDTH=80 man -E UTF-8 -l "$page" 2>/dev/null)
    for heading in NAME SYNOPSIS OPTIONS FILES; do
        grep -q "^$heading" <<<"$text" || fail "the manual page has no $heading section"
    done
    grep -q -- '--version' <<<"$text" || fail "the manual page does not list --version"
    local version
    version=$("$stage/usr/bin/soramina" --version | head -n 1)
    [[ $(zcat "$doc/changelog.gz" | head -n 1) == "soramina (${version#soramina }) "* ]] \
        || fail "the changelog's last entry is not $version"
    grep -q '^# ' "$doc/README.md" || fail "README.md is not the README"
    echo "manual page, README and changelog of $version"
}

check_lintian() {
    need lintian
    local report
    report=$(lintian "$1"/*.deb 2>&1 | grep -v '^running with root') || true
    [[ -n $report ]] && echo "$report"
    grep -q '^E: ' <<<"$report" && fail "lintian reports errors"
    grep -q -E ' (no-manual-page|no-changelog|bogus-mail-host)( |$)' <<<"$report" \
        && fail "lintian reports a missing manual page, changelog or a bad address"
    echo "lintian: no errors"
}

check_deb() {
    need cpack dpkg-deb dpkg-shlibdeps
    local build=$1 out=$2 stage=$3
    rm -rf "$out"
    cpack -G DEB --config "$build/CPackConfig.cmake" -B "$out" >/dev/null
    local debs=("$out"/*.deb)
    [[ ${#debs[@]} -eq 1 && -f ${debs[0]} ]] || fail "cpack made ${#debs[@]} packages"
    local deb=${debs[0]}
    local version
    version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")

    [[ $(dpkg-deb -f "$deb" Package) == soramina ]] || fail "package name"
    [[ $(dpkg-deb -f "$deb" Version) == "$version" ]] || fail "version is not $version"
    [[ $(dpkg-deb -f "$deb" Section) == sound ]] || fail "section is not sound"
    local depends
    depends=$(dpkg-deb -f "$deb" Depends)
    for dep in fonts-ipafont-gothic qt6-translations-l10n libqt6widgets6 libqt6gui6 libqt6core6 \
        libc6 libfluidsynth3 'timgm6mb-soundfont | fluid-soundfont-gm'; do
        [[ ", $depends," == *", $dep"[\ ,]* ]] || fail "Depends lacks $dep: $depends"
    done
    # The package holds what the staged install holds, nothing more or less.
    diff <(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {sub(/^\.\//, "", $6); print $6}' | sort) \
        <(files_under "$stage") >&2 || fail "the package's files differ from the install (< package)"
    echo "$(basename "$deb"): Depends: $depends"
}

# Start-up loads no audio library: FluidSynth, ALSA and PulseAudio come with
# the sound module, on the first chord played; nor Qt's print support, which
# comes with the print module when 印刷 is chosen.
check_links() {
    need ldd
    local binary=$1 module=$2 printing=$3
    local audio='lib(fluidsynth|asound|pulse|jack|sndfile|portaudio|SDL2|pipewire|Qt6PrintSupport|cups)'
    local found
    found=$(ldd "$binary" | grep -E "$audio" || true)
    [[ -z $found ]] || fail "$(basename "$binary") links audio libraries: $found"
    # Not piped into grep -q: ldd, cut short, would fail the pipeline.
    [[ $(ldd "$module") == *libfluidsynth* ]] || fail "$(basename "$module") does not link FluidSynth"
    [[ $(ldd "$printing") == *libQt6PrintSupport* ]] || fail "$(basename "$printing") does not link Qt's print support"
    echo "$(basename "$binary") links no audio or print library; $(basename "$module") links FluidSynth, $(basename "$printing") Qt's print support"
}

mode=${1:-}
shift || true
case $mode in
install) check_install "$@" ;;
desktop) check_desktop "$@" ;;
metainfo) check_metainfo "$@" ;;
icon) check_icon "$@" ;;
manual) check_manual "$@" ;;
deb) check_deb "$@" ;;
lintian) check_lintian "$@" ;;
links) check_links "$@" ;;
*) fail "unknown check '$mode'" ;;
esac
