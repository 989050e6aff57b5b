#!/usr/bin/env bash
# Makes the setup and the zip of the same files from the two builds:
#   scripts/make-dist.sh [BUILD_ROOT]      (default: build)
# The programs come from BUILD_ROOT/i686, the 64-bit shell extension from
# BUILD_ROOT/x86_64; the results land in BUILD_ROOT/dist.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
root=$(cd "${1:-$here/build}" && pwd)
version=$(sed -n 's/^project(Lintel VERSION \([0-9.]*\).*/\1/p' "$here/CMakeLists.txt")
bin32="$root/i686/bin"
bin64="$root/x86_64/bin"
command -v makensis >/dev/null || { echo "makensis not found: install the nsis package (scripts/install-deps.sh)" >&2; exit 1; }

stage="$root/dist/Lintel-$version"
rm -rf "$stage"
mkdir -p "$stage/x64"
for file in "Lintel.exe" "Lintel Explorer.exe" "Lintel Wizard.exe" "Lintel Tips.exe" "ltlext.dll" \
            "Lintel.chm" "Lintel Intro.chm"; do
  cp "$bin32/$file" "$stage/"
done
cp "$bin64/ltlext.dll" "$stage/x64/"
# The builds carry debugging information; what ships does not need it.
for tool in i686-w64-mingw32-strip x86_64-w64-mingw32-strip; do
  command -v "$tool" >/dev/null || continue
  case $tool in
    i686*) "$tool" --strip-debug "$stage"/*.exe "$stage"/ltlext.dll ;;
    *) "$tool" --strip-debug "$stage"/x64/ltlext.dll ;;
  esac
done

setup="$root/dist/Lintel-$version-setup.exe"
makensis -V2 -DVERSION="$version" -DFILES="$stage" -DFILES64="$stage/x64" -DOUTFILE="$setup" \
  "$here/installer/lintel.nsi"
zip="$root/dist/Lintel-$version.zip"
rm -f "$zip"
(cd "$root/dist" && zip -qr "$zip" "Lintel-$version")
echo "$setup"
echo "$zip"
