#!/usr/bin/env bash
# The shipped files as a Windows user meets them, in a fresh Wine prefix:
# silent setup, the installed program, its associations and uninstall entry,
# an upgrade that keeps the user's state, a silent uninstall that leaves
# nothing of the program, the portable zip, the version resource, and the
# wallpaper of a program whose folder cannot be written.
# usage: package_test.sh SKYLOOM_EXE ICON VERSION PROBE_EXE WORK REPORT.xml [OBJCOPY]
# Needs DISPLAY (an X server; tools/test.sh starts Xvfb) and makensis.
set -uo pipefail
exe=$(realpath "$1") icon=$(realpath "$2") version=$3 probe=$(realpath "$4") work=$(realpath -m "$5")
report=$(realpath -m "$6") objcopy=${7:-x86_64-w64-mingw32-objcopy}
here=$(cd "$(dirname "$0")/../.." && pwd)

cases=() failures=0 skips=0
pass() { cases+=("<testcase name=\"$1\" classname=\"Package\"/>"); echo "ok: $1"; }
fail() {
  cases+=("<testcase name=\"$1\" classname=\"Package\"><failure message=\"${2//\"/&quot;}\"/></testcase>")
  failures=$((failures + 1))
  echo "FAILED: $1: $2"
}
skip() { cases+=("<testcase name=\"$1\" classname=\"Package\"><skipped/></testcase>"); skips=$((skips + 1)); echo "skipped: $1: $2"; }
check() { local name=$1 why=$2; shift 2; if "$@"; then pass "$name"; else fail "$name" "$why"; fi; }
finish() {
  mkdir -p "$(dirname "$report")"
  printf '<testsuites tests="%d" failures="%d" errors="0" skipped="%d"><testsuite name="Package">%s</testsuite></testsuites>\n' \
    "${#cases[@]}" "$failures" "$skips" "$(IFS=; echo "${cases[*]}")" >"$report"
  [ "$failures" -eq 0 ]
}
seconds() { date +%s.%N; }
elapsed() { awk -v a="$1" -v b="$(seconds)" 'BEGIN { printf "%.1f", b - a }'; }

t0=$(seconds)
phase() { echo "-- ${1}: $(elapsed "$t0")s"; }

[ -n "${DISPLAY:-}" ] || { fail setup "no DISPLAY"; finish; exit 1; }
chattr -i "$work/readonly" 2>/dev/null
rm -rf "$work"
mkdir -p "$work"

# --- a fresh prefix with its own server, made while the files are --------
phase "a fresh prefix with its own server"
# No menu entries on the host for the shortcut.
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
(wineboot -i </dev/null >/dev/null 2>&1; wineserver -w) &
booting=$!

# --- the files, as tools/package.sh makes them (zlib: quicker to make) --
phase "the files"
older=0.0.1
bash "$here/packaging/make-dist.sh" "$exe" "$icon" "$older" "$work/old" "$objcopy" zlib >/dev/null &&
  bash "$here/packaging/make-dist.sh" "$exe" "$icon" "$version" "$work/dist" "$objcopy" zlib >/dev/null ||
  { fail make-dist "make-dist.sh failed"; finish; exit 1; }
(cd "$work/dist" && sha256sum --quiet -c SHA256SUMS)
check sums-list-both-files "SHA256SUMS does not match" test $? -eq 0 -a "$(wc -l <"$work/dist/SHA256SUMS")" -eq 2

wait $booting
wineserver -p </dev/null >/dev/null 2>&1
cleanup() {
  chattr -i "$work/readonly" 2>/dev/null; chmod -R u+w "$work" 2>/dev/null
  wineserver -k >/dev/null 2>&1
  # A passing run's prefix is not worth its 700 MB; a failing one is kept to look into.
  [ "$failures" -eq 0 ] && rm -rf "$WINEPREFIX"
}
trap cleanup EXIT
wine cmd /c exit </dev/null >/dev/null 2>&1
users=$(echo "$WINEPREFIX"/drive_c/users/*/AppData/Roaming | sed 's,/AppData/Roaming$,,')
[ -d "$users" ] || users="$WINEPREFIX/drive_c/users/$(id -un)"
installed="$users/AppData/Local/Programs/Skyloom"
state="$users/AppData/Roaming/Skyloom"
shortcut="$users/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Skyloom.lnk"
run() { timeout 60 wine "$@" </dev/null 2>/dev/null | tr -d '\r'; }
reg_value() {
  if [ -n "${2:-}" ]; then run reg query "$1" /v "$2"; else run reg query "$1" /ve; fi |
    sed -n 's/^ *[^ ].*REG_[A-Z_]* *//p' | head -n 1
}
export_registry() {
  local hive
  for hive in HKEY_CURRENT_USER HKEY_LOCAL_MACHINE; do
    run regedit /E "$(winepath -w "$1.$hive.reg")" "$hive" >/dev/null
    iconv -f UTF-16 -t UTF-8 "$1.$hive.reg" | tr -d '\r'
  done >"$1.reg"
}
export_registry "$work/before"
winexe() { winepath -w "$1" 2>/dev/null; }

# --- silent install of the older version, with "Start with Windows" ------
phase "silent install of the older version"
started=$(seconds)
wine "$work/old/Skyloom-Setup-$older.exe" /S /StartWithWindows </dev/null >/dev/null 2>&1
code=$?
install_time=$(elapsed "$started")
check silent-install "setup exited with $code or left no program" test $code -eq 0 -a -f "$installed/skyloom.exe"
check start-menu-shortcut "no shortcut" test -f "$shortcut"
win_exe=$(winexe "$installed/skyloom.exe")
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Skyloom'
check uninstall-entry "wrong uninstall entry" test \
  "$(reg_value "$uninstall_key" DisplayName)|$(reg_value "$uninstall_key" DisplayVersion)|$(reg_value "$uninstall_key" Publisher)|$(reg_value "$uninstall_key" UninstallString)" \
  = "Skyloom|$older|Quillbright|\"$(winexe "$installed/uninstall.exe")\""
check association "the gallery types are not Skyloom's" test \
  "$(reg_value 'HKCU\Software\Classes\.Gal')|$(reg_value 'HKCU\Software\Classes\.vgl')|$(reg_value 'HKCU\Software\Classes\Skyloom.Gallery')|$(reg_value 'HKCU\Software\Classes\Skyloom.Gallery\shell\open\command')" \
  = "Skyloom.Gallery|Skyloom.VideoGallery|Skyloom Gallery File|\"$win_exe\" \"%1\""
check run-value "wrong Run value" test "$(reg_value 'HKCU\Software\Microsoft\Windows\CurrentVersion\Run' Skyloom)" = "\"$win_exe\" /hide"

# --- the version resource, read by Windows' own reader --------------------
phase "the version resource"
resource=$(run "$probe" version "$win_exe")
check version-resource "read: $(echo "$resource" | tr '\n' ' ')" test "$resource" = \
  "$(printf 'FILEVERSION=%s.0\nPRODUCTVERSION=%s.0\nFileVersion=%s\nProductVersion=%s\nProductName=Skyloom\nCompanyName=Quillbright\nFileDescription=Skyloom Wallpaper Changer' \
     "$version" "$version" "$version" "$version")"

# --- the installed program starts, and ends on /exit --------------------
phase "the installed program starts"
wine "$installed/skyloom.exe" </dev/null >/dev/null 2>&1 &
first=$!
window=$(run "$probe" list; echo "rc=$?")
run "$installed/skyloom.exe" /exit >/dev/null
timeout 20 tail --pid=$first -f /dev/null
check starts-and-exits "no window ($window), or it did not end" test "${window##*rc=}" = 0 -a ! -d /proc/$first

# --- an upgrade keeps the user's state byte for byte --------------------
phase "an upgrade keeps the user's state byte for byte"
sleep 1  # the instance's last writes
mkdir -p "$state"
printf 'images\r\nC:\\pictures\\\xc3\xa9t\xc3\xa9.jpg\t1\r\n' >"$state/state-kept-by-setup"
state_sums() { (cd "$state" && find . -type f -print0 | sort -z | xargs -0 sha256sum); }
kept=$(state_sums)
wine "$work/dist/Skyloom-Setup-$version.exe" /S </dev/null >/dev/null 2>&1
check upgrade-keeps-state "state changed" test "$(state_sums)" = "$kept"
check upgrade-new-version "entry says $(reg_value "$uninstall_key" DisplayVersion)" \
  test "$(reg_value "$uninstall_key" DisplayVersion)" = "$version"
check upgrade-same-program "the installed program is not the new one" \
  cmp -s "$installed/skyloom.exe" <(unzip -p "$work/dist/Skyloom-$version-portable.zip" Skyloom/skyloom.exe)

# --- silent uninstall: the program goes, the state stays ----------------
phase "silent uninstall"
# The uninstaller runs on from a copy of itself in %TEMP%: wait for the folder.
uninstall() {
  wine "$1/uninstall.exe" /S </dev/null >/dev/null 2>&1
  for _ in $(seq 300); do [ -e "$1" ] || break; sleep 0.1; done
}
started=$(seconds)
uninstall "$installed"
uninstall_time=$(elapsed "$started")
check uninstall-keeps-state "state changed" test "$(state_sums)" = "$kept"

# --- all users (Wine's user is an administrator); Wine's file types come
phase "all users"
# from the machine's classes only, so opening a gallery file is tried here.
wine "$work/dist/Skyloom-Setup-$version.exe" /S /AllUsers </dev/null >/dev/null 2>&1
everyone="$WINEPREFIX/drive_c/Program Files/Skyloom"
check all-users-install "no program under Program Files, or a wrong entry" test -f "$everyone/skyloom.exe" -a \
  "$(reg_value 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Skyloom' InstallLocation)|$(reg_value 'HKLM\Software\Classes\.Gal')" \
  = "$(winexe "$everyone")|Skyloom.Gallery"
printf 'C:\\pictures\\one.jpg\r\nC:\\pictures\\two.png\r\nC:\\pictures\\three.gif\r\n' >"$work/holiday.Gal"
run start /unix "$work/holiday.Gal" >/dev/null
listed=$(run "$probe" list)
run "$everyone/skyloom.exe" /exit >/dev/null
check open-gallery-file "the list holds ${listed:-no window}, not the file's 3 entries" test "$listed" = 3
wine "$work/dist/Skyloom-Setup-$version.exe" /S </dev/null >/dev/null 2>&1
check all-users-upgrade-stays "a second setup did not upgrade the all-users install in place" \
  test -f "$everyone/skyloom.exe" -a ! -e "$installed"
uninstall "$everyone"

# --- nothing of the program left: files, keys --------------------------
phase "nothing of the program left"
# The uninstaller's copy of itself in %TEMP% goes at the next start of
# Windows, which wineboot -r plays.
wineboot -r </dev/null >/dev/null 2>&1
left=$(cd "$WINEPREFIX/drive_c" && find . \( -iname '*skyloom*' -o -name '~nsu*' \) ! -path "*/AppData/Roaming/Skyloom*")
check uninstall-leaves-no-file "left: $left" test -z "$left" -a ! -e "$installed" -a ! -e "$everyone" -a ! -e "$shortcut"
export_registry "$work/after"
ours='skyloom|quillbright|\.gal\]|\.vgl\]'
check uninstall-leaves-no-key "$(diff <(grep -iE "$ours" "$work/before.reg") <(grep -iE "$ours" "$work/after.reg") | tr '\n' ' ')" \
  diff -q <(grep -iE "$ours" "$work/before.reg") <(grep -iE "$ours" "$work/after.reg")
added_keys=$(comm -13 <(grep '^\[' "$work/before.reg" | sort) <(grep '^\[' "$work/after.reg" | sort) |
  grep -iE 'Classes\\\.|Skyloom|\\Run\]|Uninstall\\')
check uninstall-leaves-no-class-key "added: $added_keys" test -z "$added_keys"

# --- the portable zip: runs from its folder, its files beside it --------
phase "the portable zip"
mkdir -p "$work/portable" "$work/pictures"
(cd "$work/portable" && unzip -q "$work/dist/Skyloom-$version-portable.zip")
portable="$work/portable/Skyloom"
check portable-contents "wrong files" test -f "$portable/skyloom.exe" -a -f "$portable/Skyloom.ini" -a -f "$portable/README.txt"
convert -size 64x48 xc:'#336699' "BMP3:$work/pictures/blue.bmp"
printf '%s\r\nC:\\pictures\\two.png\r\nC:\\pictures\\three.gif\r\n' "$(winexe "$work/pictures/blue.bmp")" >"$work/pictures/blue.Gal"
before_state=$(state_sums)
wine "$portable/skyloom.exe" "$(winexe "$work/pictures/blue.Gal")" /checkall /next </dev/null >/dev/null 2>&1 &
first=$!
listed=$(run "$probe" list)
run "$portable/skyloom.exe" /exit >/dev/null
timeout 20 tail --pid=$first -f /dev/null
check portable-runs "the list holds ${listed:-no window}, not the file's 3 entries" test "$listed" = 3 -a ! -d /proc/$first
check portable-files-beside "no wallpaper.bmp or state.txt beside the program, or the user's state folder changed" \
  test "$(head -c 2 "$portable/wallpaper.bmp" 2>/dev/null)" = BM -a -s "$portable/state.txt" -a "$(state_sums)" = "$before_state"

# --- a program folder that cannot be written: the wallpaper goes to the state folder
phase "a program folder that cannot be written"
mkdir -p "$work/readonly"
cp "$portable/skyloom.exe" "$work/readonly/"
chmod a-w "$work/readonly"
chattr +i "$work/readonly" 2>/dev/null
if touch "$work/readonly/probe" 2>/dev/null; then
  skip readonly-folder-wallpaper "this file system lets us write into any folder"
else
  rm -f "$state/wallpaper.bmp"
  timeout 60 wine "$work/readonly/skyloom.exe" "$(winexe "$work/pictures/blue.Gal")" /checkall /next /exit </dev/null >/dev/null 2>&1
  check readonly-folder-wallpaper "no wallpaper.bmp in the state folder" \
    test "$(head -c 2 "$state/wallpaper.bmp" 2>/dev/null)" = BM -a "$(reg_value 'HKCU\Control Panel\Desktop' Wallpaper)" = "$(winexe "$state/wallpaper.bmp")"
fi

echo "setup: $(stat -c %s "$work/dist/Skyloom-Setup-$version.exe") bytes (zlib; tools/package.sh uses lzma)," \
  "silent install ${install_time}s, silent uninstall ${uninstall_time}s"
finish
