#!/usr/bin/env bash
# Packages an already built tree as a .deb, checks it with lintian, installs it with apt-get and
# runs the installed command-line tool; a package that was not installed before is removed again.
#   package-check.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"

echo "== package"
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$PWD/$build"/sonavist_*.deb)
dpkg-deb -f "$deb" Package Version Depends
echo "-- lintian"
# lintian fails on errors only; warnings and notes are shown.
lintian --display-info "$deb"

installed_before=0
dpkg -s sonavist >/dev/null 2>&1 && installed_before=1
echo "-- apt-get install $deb"
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --reinstall "$deb" >/dev/null
[ "$installed_before" -eq 1 ] || trap 'DEBIAN_FRONTEND=noninteractive $sudo apt-get remove -y -qq sonavist >/dev/null' EXIT
for command in "sonavist-cli --version" "sonavist-cli list /usr/share/sonavist/banks/Demo1.s1v"; do
    echo "\$ $command"
    (cd / && PATH=/usr/bin:/bin $command)
done
echo "package check passed"
