#!/usr/bin/env bash
# Renders the application icon's PNG sizes from its SVG into
# packaging/linux/icons/, where they are kept with the sources so that the
# build needs no renderer. Run it after changing the SVG, and commit the
# result. Installs librsvg2-bin when rsvg-convert is missing.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$root/scripts/install-missing.sh" librsvg2-bin

svg="$root/packaging/linux/org.talvo.EdidUtility.svg"
for size in 16 24 32 48 64 128 256; do
    folder="$root/packaging/linux/icons/${size}x${size}"
    mkdir -p "$folder"
    rsvg-convert --width "$size" --height "$size" "$svg" --output "$folder/org.talvo.EdidUtility.png"
done
