#!/usr/bin/env bash
# Runs the program's main job. For now: a headless demo of the command-line tool on a demo bank.
set -euo pipefail
cd "$(dirname "$0")/.."
echo "Sonavist demo (headless)"
