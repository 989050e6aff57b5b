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
# A build folder configured for the wrong architecture would ship programs
# that do not start where they are meant to: each file's PE header says.
machine() {  # file -> i386 | x86-64
  python3 - "$1" <<'PY'
import struct, sys
data = open(sys.argv[1], "rb").read(4096)
at = struct.unpack_from("<I", data, 0x3C)[0] if data[:2] == b"MZ" and len(data) >= 0x40 else -1
code = struct.unpack_from("<H", data, at + 4)[0] if 0 <= at <= len(data) - 6 and data[at:at + 4] == b"PE\0\0" else 0
print({0x14C: "i386", 0x8664: "x86-64"}.get(code, "unknown"))
PY
}
for file in "$stage"/*.exe "$stage"/ltlext.dll "$stage"/x64/ltlext.dll; do
  case $file in */x64/*) want=x86-64 ;; *) want=i386 ;; esac
  got=$(machine "$file")
  [ "$got" = "$want" ] || { echo "$file is $got code, the setup needs $want" >&2; exit 1; }
done

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
