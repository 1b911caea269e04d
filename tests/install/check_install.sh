#!/usr/bin/env bash
# Installs a build into a temporary prefix with "cmake --install" and checks what a user
# gets: the three programs, the menu entry and its icon, the AppStream metadata, the manual pages
# (which must name every option the programs' --help lists), the licence and changelog.
# The validators of desktop entries and AppStream metadata run when installed
# (scripts/install-deps installs them); without them their checks are skipped.
# Usage: check_install.sh BUILD_DIR APP_ID VERSION
set -uo pipefail
build=$1 id=$2 version=$3
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

cmake --install "$build" --prefix "$prefix" >/dev/null || { echo "FAIL: cmake --install"; exit 1; }

share=$prefix/share
desktop=$share/applications/$id.desktop
metainfo=$share/metainfo/$id.metainfo.xml
for f in bin/sdi12-config bin/sdi12 bin/sdi12-sim "share/applications/$id.desktop" \
    "share/icons/hicolor/scalable/apps/$id.svg" "share/metainfo/$id.metainfo.xml" \
    share/man/man1/sdi12-config.1.gz share/man/man1/sdi12.1.gz share/man/man1/sdi12-sim.1.gz \
    share/bash-completion/completions/sdi12 \
    share/doc/sdi12-config/copyright share/doc/sdi12-config/changelog.gz; do
    [[ -f $prefix/$f ]] || fail "$f is not installed"
done
[[ -x $prefix/bin/sdi12-config && -x $prefix/bin/sdi12 && -x $prefix/bin/sdi12-sim ]] ||
    fail "programs not executable"

bash -n "$share/bash-completion/completions/sdi12" || fail "the bash completion of sdi12 does not parse"

# The installed programs run and know their version.
[[ $("$prefix/bin/sdi12-config" --version) == "sdi12-config $version" ]] ||
    fail "sdi12-config --version"
"$prefix/bin/sdi12-sim" --version | grep -qx "sdi12-sim $version" || fail "sdi12-sim --version"
"$prefix/bin/sdi12" --version | grep -qx "sdi12 $version" || fail "sdi12 --version"

# The menu entry starts the installed program and shows the installed icon; the metadata
# names the entry and both programs.
grep -qx "Exec=sdi12-config" "$desktop" || fail "desktop entry does not start sdi12-config"
grep -qx "Icon=$id" "$desktop" || fail "desktop entry icon is not $id"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
    fail "metainfo does not launch $id.desktop"
grep -q "<release version=\"$version\"" "$metainfo" || fail "metainfo has no release $version"
zcat "$share/doc/sdi12-config/changelog.gz" | head -1 | grep -q "^sdi12-config ($version)" ||
    fail "changelog does not start with $version"

if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$desktop" || fail "desktop-file-validate"
else
    echo "SKIP: desktop-file-validate is not installed"
fi
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$metainfo" >/dev/null || {
        appstreamcli validate --no-net "$metainfo"
        fail "appstreamcli validate"
    }
else
    echo "SKIP: appstreamcli is not installed"
fi

# Each manual page formats without warnings and names every option of its program.
for program in sdi12-config sdi12 sdi12-sim; do
    page=$share/man/man1/$program.1.gz
    warnings=$(zcat "$page" | groff -man -Tutf8 -ww -z 2>&1)
    [[ -z $warnings ]] || fail "$program.1: $warnings"
    text=$(zcat "$page" | sed 's/\\-/-/g')
    for option in $("$prefix/bin/$program" --help | grep -o -- '--[a-z][a-z-]*' | sort -u); do
        grep -q -- "$option" <<<"$text" || fail "$program.1 does not describe $option"
    done
done

if [[ $failures -ne 0 ]]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "installed tree in order"
