#!/usr/bin/env bash
# Setup, end to end, in a Wine prefix of its own: builds the setup script as a
# 64-bit setup of the 64-bit programs (this build's), installs silently, then
# checks what was installed, opens a toolbar file through its association,
# loads the shell extension through its registration, uninstalls silently and
# checks that nothing setup added is left while the user's toolbar file stays.
#
#   setup_test.sh BIN_DIR SOURCE_DIR VERSION
# Exits 77 (skipped) when makensis is not installed.
set -uo pipefail
bin=$1 source=$2 version=$3

if ! command -v makensis >/dev/null; then
  echo "makensis not found (Debian package nsis): setup test skipped"
  exit 77
fi

work=$(mktemp -d /tmp/lintel-setup-test.XXXXXX)
log="$work/wine.log"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
started=$(date +%s)
step() { echo "$(( $(date +%s) - started )) s: $*"; }

export WINEPREFIX="$work/prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}
cleanup() {
  wineserver -k >/dev/null 2>&1
  wineserver -w >/dev/null 2>&1
  rm -rf "$work"
}
trap cleanup EXIT
# Every Wine process gets no terminal streams: a background service that held
# the test's output would keep the test runner waiting for ever.
w() { wine "$@" </dev/null >>"$log" 2>&1; }
probe() { wine "$bin/install_probe.exe" "$@" </dev/null 2>>"$log"; }
# `reg query` in the 64-bit view, the view of this setup and its programs.
reg_value() {
  if [ $# -ge 2 ]; then set -- "$1" /v "$2"; else set -- "$1" /ve; fi
  wine reg query "$@" /reg:64 </dev/null 2>/dev/null | tr -d '\r'
}
reg_exists() { wine reg query "$1" ${2:+/v "$2"} /reg:64 </dev/null >/dev/null 2>&1; }

stage="$work/files"
mkdir -p "$stage"
for file in "Lintel.exe" "Lintel Explorer.exe" "Lintel Wizard.exe" "Lintel Tips.exe" "ltlext.dll" \
            "Lintel.chm" "Lintel Intro.chm"; do
  cp "$bin/$file" "$stage/" || { echo "FAIL: $file is not built"; exit 1; }
done
makensis -V2 -DAMD64 -DVERSION="$version" -DFILES="$stage" -DOUTFILE="$work/lintel-setup.exe" \
  "$source/installer/lintel.nsi" || { echo "FAIL: makensis"; exit 1; }

wineboot -i </dev/null >/dev/null 2>&1
wineserver -w
wineserver -p </dev/null >/dev/null 2>&1
w cmd /c exit
# A virtual desktop spares each hidden window a stall without a window manager.
w reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f
w reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f

user_dir="$WINEPREFIX/drive_c/users/$(whoami)"
toolbar_win="C:\\users\\$(whoami)\\Sample.ltl"
w "$bin/ltltool.exe" sample "$toolbar_win"
[ -f "$user_dir/Sample.ltl" ] || fail "no sample toolbar file"
# A user who has used Lintel before: no first-start dialog, no tips.
w reg add 'HKCU\Software\Corvane\Lintel\Current' /v NumToolbars /t REG_DWORD /d 0 /f
w reg add 'HKCU\Software\Corvane\Lintel\Current' /v ShowTips /t REG_DWORD /d 0 /f

step "prefix ready"
w "$work/lintel-setup.exe" /S || fail "setup /S exit status"
step "installed"

install_win='C:\Program Files\Lintel'
install_dir="$WINEPREFIX/drive_c/Program Files/Lintel"
start_menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs"
for file in "Lintel.exe" "Lintel Explorer.exe" "Lintel Wizard.exe" "Lintel Tips.exe" "ltlext.dll" \
            "Lintel.chm" "Lintel Intro.chm" "uninstall.exe"; do
  [ -f "$install_dir/$file" ] || fail "$file not installed"
done
for link in "Lintel" "Lintel Explorer" "Lintel Wizard" "Lintel Tips"; do
  [ -f "$start_menu/Lintel/$link.lnk" ] || fail "no Start menu entry $link"
done
[ -f "$start_menu/StartUp/Lintel.lnk" ] || fail "Lintel does not start at logon (the option is on by default)"

settings='HKLM\Software\Corvane\Lintel\Current'
for pair in "ExplorerPath|Lintel Explorer.exe" "TipsPath|Lintel Tips.exe" "NewWizPath|Lintel Wizard.exe"; do
  name=${pair%%|*} file=${pair#*|}
  reg_value "$settings" "$name" | grep -qF "$install_win\\$file" || fail "$name is not $install_win\\$file"
done
reg_value 'HKLM\Software\Microsoft\Windows\CurrentVersion\App Paths\Lintel.exe' \
  | grep -qF "$install_win\\Lintel.exe" || fail "no App Paths entry for Lintel.exe"
reg_value 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Lintel' UninstallString \
  | grep -qF "$install_win\\uninstall.exe" || fail "not listed in the installed programs"
reg_value 'HKCR\Lintel.Toolbar\shell\open\command' \
  | grep -qF "\"$install_win\\Lintel.exe\" \"%1\"" || fail "no open command for toolbar files"
reg_value 'HKCR\.qld' | grep -qF "Lintel.Toolbar" || fail ".qld (owned by nobody before) is not Lintel's"

# The association starts the installed Lintel with the toolbar.
w start "$toolbar_win"
probe window CToolbarWindow '*' 60 || fail "no toolbar window after opening the toolbar file"
probe window LintelMainWindow Lintel 10 || fail "Lintel is not running"

step "toolbar open"
# A 64-bit COM client gets both classes from the installed library.
probe extension "$install_win\\ltlext.dll" >>"$log" || fail "the shell extension does not load through its registration"

# Silent uninstall, with Lintel running: the uninstaller asks it to close.
# The uninstaller runs on from a copy of itself, so its end is the folder's.
w "$install_dir/uninstall.exe" /S
for _ in $(seq 1 120); do
  [ -e "$install_dir" ] || break
  sleep 0.5
done
step "uninstalled"
[ -e "$install_dir" ] && fail "the installation folder is still there: $(ls "$install_dir" | tr '\n' ' ')"
probe gone LintelMainWindow Lintel 10 || fail "Lintel still runs after the uninstall"
[ -e "$start_menu/Lintel" ] && fail "the Start menu folder is still there"
[ -e "$start_menu/StartUp/Lintel.lnk" ] && fail "the logon shortcut is still there"
[ -f "$user_dir/Sample.ltl" ] || fail "the uninstall deleted the user's toolbar file"

for key in 'HKLM\Software\Corvane' \
           'HKLM\Software\Microsoft\Windows\CurrentVersion\App Paths\Lintel.exe' \
           'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Lintel' \
           'HKLM\Software\Microsoft\Windows\CurrentVersion\Explorer\FindExtensions\Static\LintelExplorer' \
           'HKCR\.ltl' 'HKCR\.qld' 'HKCR\Lintel.Toolbar' \
           'HKCR\CLSID\{C43D4080-E099-11D0-A191-444553540000}' \
           'HKCR\CLSID\{C43D4081-E099-11D0-A191-444553540000}' \
           'HKCR\*\shellex\ContextMenuHandlers\Lintel' 'HKCR\Folder\shellex\ContextMenuHandlers\Lintel'; do
  reg_exists "$key" && fail "$key is still there"
done
# Quillet's toolbar files stay Quillet's when a silent setup is not told
# otherwise, and its uninstall leaves them so.
w reg add 'HKCR\.qld' /ve /d Quillet.Toolbar /f /reg:64
w "$work/lintel-setup.exe" /S || fail "second setup /S exit status"
reg_value 'HKCR\.qld' | grep -qF "Quillet.Toolbar" || fail "setup took .qld from Quillet"
w "$install_dir/uninstall.exe" /S
for _ in $(seq 1 120); do
  [ -e "$install_dir" ] || break
  sleep 0.5
done
reg_value 'HKCR\.qld' | grep -qF "Quillet.Toolbar" || fail "the uninstall took .qld from Quillet"
step "Quillet's files kept"

# Whatever the list above forgets: the machine's registry names nothing of
# setup's any more (the user's own settings are in user.reg and stay).
wineserver -k >/dev/null 2>&1
wineserver -w >/dev/null 2>&1
left=$(grep -i -E '^\[.*(lintel|corvane|C43D408)' "$WINEPREFIX/system.reg"; \
       grep -i -E '^"(\{C43D408|[^"]*lintel)' "$WINEPREFIX/system.reg")
[ -n "$left" ] && fail "left in the registry: $left"

if [ $failures -ne 0 ]; then
  echo "--- Wine output"
  tail -n 40 "$log"
  exit 1
fi
echo "setup, association, shell extension and uninstall: all checks passed"
