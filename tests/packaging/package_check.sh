#!/usr/bin/env bash
# Builds the Debian package from an already built tree with cpack, into a
# fresh folder (the binaries are those the other tests ran; the install rules
# and the package settings are what is checked), and checks the package:
# its file list, control fields and Depends, that its binaries run, the
# desktop entry, the AppStream metadata, the manual pages' command lists and,
# when lintian is installed, that lintian finds no error.
#   package_check.sh BUILD_DIR VERSION
set -euo pipefail
build=$(cd "$1" && pwd)
version=$2
here=$(cd "$(dirname "$0")" && pwd)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log" >&2; exit 1; }
shopt -s nullglob
debs=("$work"/*.deb)
[[ ${#debs[@]} -eq 1 ]] || { echo "cpack made ${#debs[@]} packages, not one" >&2; exit 1; }
deb=${debs[0]}
[[ $(basename "$deb") == "brindle_${version}_amd64.deb" || $(basename "$deb") == brindle_${version}_*.deb ]] ||
    fail "package file name $(basename "$deb")"

# Every file and folder, nothing more.
expected=$(sort <<'LIST'
./usr/
./usr/bin/
./usr/bin/brindle
./usr/bin/brindle-cli
./usr/bin/brindle-modsim
./usr/share/
./usr/share/applications/
./usr/share/applications/org.brindle.Brindle.desktop
./usr/share/bash-completion/
./usr/share/bash-completion/completions/
./usr/share/bash-completion/completions/brindle-cli
./usr/share/brindle/
./usr/share/brindle/helpmacro.rtf
./usr/share/doc/
./usr/share/doc/brindle/
./usr/share/doc/brindle/changelog.gz
./usr/share/doc/brindle/copyright
./usr/share/icons/
./usr/share/icons/hicolor/
./usr/share/icons/hicolor/16x16/
./usr/share/icons/hicolor/16x16/apps/
./usr/share/icons/hicolor/16x16/apps/org.brindle.Brindle.png
./usr/share/icons/hicolor/32x32/
./usr/share/icons/hicolor/32x32/apps/
./usr/share/icons/hicolor/32x32/apps/org.brindle.Brindle.png
./usr/share/icons/hicolor/48x48/
./usr/share/icons/hicolor/48x48/apps/
./usr/share/icons/hicolor/48x48/apps/org.brindle.Brindle.png
./usr/share/icons/hicolor/64x64/
./usr/share/icons/hicolor/64x64/apps/
./usr/share/icons/hicolor/64x64/apps/org.brindle.Brindle.png
./usr/share/icons/hicolor/128x128/
./usr/share/icons/hicolor/128x128/apps/
./usr/share/icons/hicolor/128x128/apps/org.brindle.Brindle.png
./usr/share/icons/hicolor/256x256/
./usr/share/icons/hicolor/256x256/apps/
./usr/share/icons/hicolor/256x256/apps/org.brindle.Brindle.png
./usr/share/icons/hicolor/scalable/
./usr/share/icons/hicolor/scalable/apps/
./usr/share/icons/hicolor/scalable/apps/org.brindle.Brindle.svg
./usr/share/man/
./usr/share/man/man1/
./usr/share/man/man1/brindle-cli.1.gz
./usr/share/man/man1/brindle-modsim.1.gz
./usr/share/man/man1/brindle.1.gz
./usr/share/metainfo/
./usr/share/metainfo/org.brindle.Brindle.metainfo.xml
LIST
)
listed=$(dpkg-deb -c "$deb" | awk '{print $6}' | sort)
if [[ $listed != "$expected" ]]; then
    fail "file list (< expected, > package):"
    diff <(echo "$expected") <(echo "$listed") >&2 || true
fi
dpkg-deb -c "$deb" | awk '$2 != "root/root" {print "FAIL: owner " $2 " of " $6; exit 1}' >&2 ||
    failures=$((failures + 1))

# Control fields.
field() { dpkg-deb -f "$deb" "$1"; }
[[ $(field Package) == brindle ]] || fail "Package: $(field Package)"
[[ $(field Version) == "$version" ]] || fail "Version: $(field Version)"
[[ $(field Section) == electronics ]] || fail "Section: $(field Section)"
[[ $(field Recommends) == bash-completion ]] || fail "Recommends: $(field Recommends)"
[[ $(field Maintainer) =~ ^[^\<]+\ \<[^@\>]+@[^\>]+\>$ ]] || fail "Maintainer: $(field Maintainer)"
[[ $(field Description | head -n 1) == *"Macro Module"* ]] || fail "Description synopsis"
(($(field Description | wc -l) >= 3)) || fail "Description has no extended text"
# Depends come from the binaries' shared libraries, with versions.
depends=$(field Depends)
for library in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6serialport6; do
    pattern="(^|, )${library//+/\\+} \\(>= [0-9]"
    [[ $depends =~ $pattern ]] || fail "Depends lacks $library: $depends"
done

root=$work/root
dpkg-deb -x "$deb" "$root"
for program in brindle brindle-cli brindle-modsim; do
    file "$root/usr/bin/$program" | grep -q 'ELF.*stripped' || fail "$program is not a stripped executable"
    [[ $("$root/usr/bin/$program" --version) == "$program $version" ]] ||
        fail "$program --version: $("$root/usr/bin/$program" --version)"
done

# The desktop entry starts the installed window and names the installed icon.
desktop=$root/usr/share/applications/org.brindle.Brindle.desktop
desktop-file-validate "$desktop" || fail "desktop-file-validate"
exec_line=$(grep '^Exec=' "$desktop" | cut -d= -f2-)
[[ -x $root/usr/bin/${exec_line%% *} ]] || fail "Exec=$exec_line is not an installed program"
icon=$(grep '^Icon=' "$desktop" | cut -d= -f2-)
[[ -f $root/usr/share/icons/hicolor/scalable/apps/$icon.svg ]] || fail "Icon=$icon has no SVG"
for size in 16 32 48 64 128 256; do
    png=$root/usr/share/icons/hicolor/${size}x$size/apps/$icon.png
    file "$png" | grep -q "PNG image data, $size x $size," || fail "$png is not a $size x $size PNG"
done

# AppStream metadata: valid, with the release of this version and a rating.
metainfo=$root/usr/share/metainfo/org.brindle.Brindle.metainfo.xml
appstreamcli validate --no-net "$metainfo" >"$work/appstream.log" 2>&1 ||
    { cat "$work/appstream.log" >&2; fail "appstreamcli validate"; }
grep -q "<release version=\"$version\"" "$metainfo" || fail "no release $version in the metadata"
grep -q '<content_rating type="oars-1.1"' "$metainfo" || fail "no content rating"
grep -q '<launchable type="desktop-id">org.brindle.Brindle.desktop<' "$metainfo" ||
    fail "the metadata does not launch the desktop entry"
grep -q '<description>' "$metainfo" || fail "no description"

# The manual pages: the installed brindle-cli's commands, and no roff warnings.
"$here/man_commands_check.sh" "$root/usr/bin/brindle-cli" "$root/usr/share/man/man1/brindle-cli.1.gz" ||
    fail "brindle-cli.1 and brindle-cli --help differ"
for page in "$root"/usr/share/man/man1/*.1.gz; do
    warnings=$(zcat "$page" | LC_ALL=C.UTF-8 groff -man -Tutf8 -ww -z 2>&1)
    [[ -z $warnings ]] || fail "$(basename "$page"): $warnings"
done

# The completion script is valid bash and completes brindle-cli.
bash -n "$root/usr/share/bash-completion/completions/brindle-cli" || fail "completion syntax"
grep -q 'complete -F _brindle_cli brindle-cli' "$root/usr/share/bash-completion/completions/brindle-cli" ||
    fail "the completion is not registered for brindle-cli"

if command -v lintian >/dev/null; then
    lintian --fail-on error "$deb" >"$work/lintian.log" 2>&1 ||
        { cat "$work/lintian.log" >&2; fail "lintian"; }
    grep -E '^(E|W): ' "$work/lintian.log" >&2 && fail "lintian errors or warnings"
    echo "lintian: $(grep -c '^[IP]: ' "$work/lintian.log" || true) notes, no error or warning"
else
    echo "lintian is not installed: not run"
fi

if ((failures > 0)); then
    echo "$failures check(s) of $(basename "$deb") failed" >&2
    exit 1
fi
echo "$(basename "$deb"): $(echo "$listed" | wc -l) entries, Depends: $depends"
