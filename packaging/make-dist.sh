#!/usr/bin/env bash
# Makes the shipped files from a built skyloom.exe:
#   OUT/Skyloom-Setup-VERSION.exe     the setup program (NSIS)
#   OUT/Skyloom-VERSION-portable.zip  program, README and portable marker
#   OUT/skyloom-VERSION.debug         the symbols, for reading crash addresses
#   OUT/SHA256SUMS                    of the setup program and the zip
# usage: make-dist.sh EXE ICON VERSION OUT [OBJCOPY] [NSIS_COMPRESSOR]
set -euo pipefail
exe=${1:?usage: make-dist.sh EXE ICON VERSION OUT [OBJCOPY] [COMPRESSOR]}
icon=${2:?} version=${3:?} out=${4:?}
objcopy=${5:-x86_64-w64-mingw32-objcopy}
compressor=${6:-lzma}
here=$(cd "$(dirname "$0")" && pwd)

mkdir -p "$out"
out=$(cd "$out" && pwd)
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
setup="Skyloom-Setup-$version.exe"
zip="Skyloom-$version-portable.zip"
symbols="skyloom-$version.debug"

# The shipped program carries no symbols; a debug link names the file
# that holds them.
"$objcopy" --only-keep-debug "$exe" "$out/$symbols"
"$objcopy" --strip-all --add-gnu-debuglink="$out/$symbols" "$exe" "$stage/skyloom.exe"

makensis -V2 -NOCD -DVERSION="$version" -DSTAGE="$stage" -DICON="$icon" -DOUTFILE="$out/$setup" \
  -DCOMPRESSOR="$compressor" "$here/skyloom.nsi" >"$stage/makensis.log" 2>&1 || {
  cat "$stage/makensis.log" >&2
  exit 1
}

mkdir "$stage/Skyloom"
cp "$stage/skyloom.exe" "$stage/Skyloom/skyloom.exe"
# Windows users open it with Notepad: CR LF.
sed 's/$/\r/' "$here/README-portable.txt" >"$stage/Skyloom/README.txt"
sed 's/$/\r/' "$here/Skyloom.ini" >"$stage/Skyloom/Skyloom.ini"
rm -f "$out/$zip"
python3 - "$stage" "$out/$zip" <<'PY'
import os, sys, zipfile
stage, target = sys.argv[1], sys.argv[2]
with zipfile.ZipFile(target, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as z:
    for name in ("skyloom.exe", "README.txt", "Skyloom.ini"):
        z.write(os.path.join(stage, "Skyloom", name), "Skyloom/" + name)
PY

(cd "$out" && sha256sum "$setup" "$zip" >SHA256SUMS)
echo "$out/$setup"
