#!/usr/bin/env bash
# Starts the dialog in a writable folder, where it keeps "Sonavist.log". The first time, and only
# when no settings exist yet, it prepares them for the demo: both port lists on the virtual
# instrument and the demo banks' folder opened, so the whole loop shows at once.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
state="${XDG_STATE_HOME:-$HOME/.local/state}/Sonavist"
config="${XDG_CONFIG_HOME:-$HOME/.config}/Sonavist"
settings="$config/HKEY_LOCAL_MACHINE.reg"

# The index of the virtual instrument in one direction's list, as four little-endian bytes.
virtual_index() {
    local index
    index=$("$root/build/sonavist-cli" ports |
            awk -F'\t' -v dir="$1" '$1 == dir && $3 == "Sonavist Virtual EX5" { print $2; exit }')
    printf '%02x,00,00,00' "${index:-0}"
}

if [ ! -e "$settings" ]; then
    mkdir -p "$config"
    cat > "$settings" <<REG
REGEDIT4

[HKEY_LOCAL_MACHINE\\Software\\Sonavist\\Settings]
"Path"="$root/res/banks/"
"midiin"=hex:$(virtual_index in)
"midiout"=hex:$(virtual_index out)
"delay"=hex:19,00,00,00
"mididelay"=hex:f4,01,00,00
"deviceno"=hex:01,00,00,00
"keepontop"=hex:00,00,00,00
REG
    echo "Prepared demo settings in $settings"
fi

mkdir -p "$state"
cd "$state"
echo "Sonavist starts in $state (Sonavist.log is written there)"
exec "$root/build/sonavist"
