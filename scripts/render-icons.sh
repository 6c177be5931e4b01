#!/usr/bin/env bash
# Renders the application icon's PNG sizes from its SVG into
# packaging/linux/icons/, and the Windows program's icon from them into
# app/windows/, where they are kept with the sources so that the build needs
# no renderer. Run it after changing the SVG, and commit the result. Installs
# librsvg2-bin and imagemagick when they are missing.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$root/scripts/install-missing.sh" librsvg2-bin imagemagick

svg="$root/packaging/linux/org.talvo.EdidUtility.svg"
for size in 16 24 32 48 64 128 256; do
    folder="$root/packaging/linux/icons/${size}x${size}"
    mkdir -p "$folder"
    rsvg-convert --width "$size" --height "$size" "$svg" --output "$folder/org.talvo.EdidUtility.png"
done

# One .ico with the sizes Windows asks for: small and large icons, the
# Explorer's views and the Start menu.
icons="$root/packaging/linux/icons"
convert "$icons"/{16x16,24x24,32x32,48x48,64x64,256x256}/org.talvo.EdidUtility.png \
    "$root/app/windows/talvo-edid-utility.ico"
