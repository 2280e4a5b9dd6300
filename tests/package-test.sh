#!/usr/bin/env bash
# Builds the Debian package from a finished build and checks what it installs.
set -euo pipefail
build=$1
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
cpack --config "$build/CPackConfig.cmake" -B "$out" >"$out/cpack.log" 2>&1 || { cat "$out/cpack.log"; exit 1; }
deb=$(ls "$out"/*.deb)
contents=$(dpkg-deb -c "$deb")
for f in ./usr/bin/vantrel ./usr/bin/vantrel-monitor ./usr/bin/vantrel-schedule \
         ./usr/lib/systemd/system/vantrel.service ./usr/share/applications/vantrel.desktop \
         ./usr/share/icons/hicolor/32x32/apps/vantrel.png; do
    grep -q " $f\$" <<<"$contents" || { echo "missing from the package: $f"; echo "$contents"; exit 1; }
done
dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/lib/systemd/system/vantrel.service >"$out/unit"
grep -qx 'ExecStart=/usr/bin/vantrel --headless' "$out/unit" || { cat "$out/unit"; exit 1; }
grep -qx 'SupplementaryGroups=dialout' "$out/unit"
grep -qx 'WorkingDirectory=/var/lib/vantrel' "$out/unit"
echo "package ok: $(basename "$deb")"
