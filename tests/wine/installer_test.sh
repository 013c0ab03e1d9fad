#!/usr/bin/env bash
# The Windows installer in fresh Wine prefixes: a silent install for the
# current user and one for all users, each with its programs started, its
# Start-menu entry and its entry among the installed programs, then removed
# by the uninstaller; the zip's programs run where they are unpacked; the
# programs import no DLL that Windows itself lacks.
#   installer_test.sh SCRIPTS_DIR DIST_DIR VERSION
SCRIPTS="$1"
dist="$2"
version="$3"
source "$(dirname "$0")/wine_support.sh"

setup="$dist/gsm-notifier-config_${version}_win64-setup.exe"
zip="$dist/gsm-notifier-config_${version}_win64.zip"
uninstall_key='HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Uninstall\gsm-notifier-config'
check "the installer exists" test -s "$setup"
check "the zip exists" test -s "$zip"
make_prefix

registry_value() { # key, value name
  wine_run reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' |
    sed -n "s/^ *$2 *REG_[A-Z_]* *//p"
}
linux_path_of() { # a Windows path in the prefix
  wine_run winepath -u "$1" 2>/dev/null | tr -d '\r'
}

programs_start() { # installation folder (Linux path)
  local folder="$1" out
  out="$(wine_run "$folder/gsm-notifier-template.exe" --version 2>&1 | tr -d '\r')"
  check "the installed template tool starts ($out)" grep -q "$version" <<<"$out"
  out="$(wine_run "$folder/gsm-notifier-config.exe" --version 2>&1 | tr -d '\r')"
  check "the installed configurator starts ($out)" grep -q "$version" <<<"$out"
  # The options' help describes Windows' port names and folders, not Linux's.
  out="$(wine_run "$folder/gsm-notifier-config.exe" --help 2>&1 | tr -d '\r')"
  check "the configurator's help names the ports file under %APPDATA%" \
    grep -qF '%APPDATA%\gsm-notifier-config\ports.conf' <<<"$out"
  check "the configurator's help names no Linux device" not_found /dev/ "$out"
  out="$(wine_run "$folder/gsm-notifier-template.exe" --help 2>&1 | tr -d '\r')"
  check "the template tool's help names the backups under %LOCALAPPDATA%" \
    grep -qF '%LOCALAPPDATA%\gsm-notifier-config\backups' <<<"$out"
  check "the template tool's help names no Linux folder" not_found XDG_ "$out"
}

not_found() { # text, output
  ! grep -qF -- "$1" <<<"$2"
}

install_and_remove() { # mode (CURRENTUSER or ALLUSERS), registry root
  local mode="$1" root="$2" key folder shortcut
  key="${uninstall_key/HKEY_CURRENT_USER/$root}"
  wine_run "$setup" /S "/$mode"
  wait_for_wine
  folder="$(linux_path_of "$(registry_value "$key" InstallLocation)")"
  check "$mode: listed among the installed programs" test -n "$(registry_value "$key" UninstallString)"
  check "$mode: the programs are installed ($folder)" \
    test -f "$folder/gsm-notifier-config.exe" -a -f "$folder/gsm-notifier-template.exe"
  if [ "$mode" = CURRENTUSER ]; then
    shortcut="$(user_folder "AppData/Roaming/Microsoft/Windows/Start Menu/Programs")/gsm-notifier-config.lnk"
  else
    shortcut="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/gsm-notifier-config.lnk"
  fi
  check "$mode: the Start-menu entry exists" test -f "$shortcut"
  programs_start "$folder"
  wine_run "$folder/uninstall.exe" /S "/$mode"
  wait_for_wine
  check "$mode: the uninstaller removes the programs" test ! -e "$folder/gsm-notifier-config.exe"
  check "$mode: the uninstaller removes its folder" test ! -e "$folder"
  check "$mode: the Start-menu entry is gone" test ! -e "$shortcut"
  check "$mode: the entry among the installed programs is gone" \
    test -z "$(registry_value "$key" UninstallString)"
}

install_and_remove CURRENTUSER HKEY_CURRENT_USER
install_and_remove ALLUSERS HKEY_LOCAL_MACHINE

unpacked="$work/unpacked"
mkdir -p "$unpacked"
unzip -q "$zip" -d "$unpacked"
out="$(wine_run "$unpacked/gsm-notifier-config_${version}_win64/gsm-notifier-template.exe" --version 2>&1 | tr -d '\r')"
check "the zip's template tool runs where it is unpacked ($out)" grep -q "$version" <<<"$out"

# Every DLL the programs import is part of Windows itself.
system_dlls='^(kernel32|user32|gdi32|advapi32|shell32|ole32|oleaut32|comdlg32|comctl32|uxtheme|dwmapi|shcore|imm32|winmm|version|setupapi|shlwapi|userenv|netapi32|mpr|ws2_32|wtsapi32|uuid|msvcrt|cfgmgr32|d3d9|d3d11|dxgi|dwrite|d2d1|authz|secur32|crypt32|bcrypt|ntdll|rpcrt4|winspool\.drv)(\.dll)?$'
for program in gsm-notifier-config gsm-notifier-template; do
  imports="$(x86_64-w64-mingw32-objdump -p "$unpacked/gsm-notifier-config_${version}_win64/$program.exe" |
    sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)"
  foreign="$(grep -Ev "$system_dlls" <<<"$imports" | grep -v '^api-ms-win-' || true)"
  check "$program.exe imports only system DLLs ($(tr '\n' ' ' <<<"$imports"))" test -z "$foreign"
done
finish
