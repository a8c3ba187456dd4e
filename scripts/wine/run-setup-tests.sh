#!/usr/bin/env bash
# The setup wizard end to end through its real windows: in a 32-bit and a 64-bit Wine prefix
# setup.exe runs from the package folder under a virtual desktop and setup_driver.exe
# drives it from outside, page by page, by control id:
#   usb-typical   agreement page (Next only after Accept), a connected printer with
#                 identifier 1: no question, the USB device driver installed on the way
#   usb-advanced  the printer's identifier (1) differs from the chosen port's (3): No keeps
#                 the wizard open, Yes rewrites the identifier in the printer
#   serial        advanced mode, a serial port with chosen line settings
#   network       no address refused, then an address: port IP_a.b.c.d
#   parallel      the package's default model, "Set as default printer"
#   refusal       a model that does not support this Windows: the wizard stays on the
#                 operating-system page and keeps the choices; a second setup.exe
#                 meanwhile ends without a window of its own
#   uninstaller   setup.exe refuses while the uninstaller's window is open
# After each installation the final message must be the success text, the wizard must be
# gone and the spooler and the registry must hold what was chosen: the driver and the print
# processor registered for "Windows x64" in the 64-bit prefix ("Windows NT x86" in the
# 32-bit one) with their files in that environment's folders, the monitor DLL in the real
# system folder. setup.exe and uninstall.exe are the shipped builds (scripts/build-programs.sh,
# build-programs/); the 64-bit prefix gets the x86 twins of install-fixtures.sh, checked
# afterwards to be exactly what the harness made. One Chinese run (the
# package switched, a zh_CN locale) goes through all pages once. Screenshots of every page
# and message box go to build-win32/setup-shots/.
#
#   scripts/wine/run-setup-tests.sh [--no-build]
#
# Variables: KLM_SETUP_VERSION (default win7; win10 and win81 too), KLM_SETUP_ARCHES (default "win32 win64"),
# KLM_SETUP_SKIP_ZH, KLM_PROGRAMS_DIR (default build-programs), plus those of lib.sh.
set -uo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=lib.sh
source "$here/lib.sh"
# shellcheck source=install-fixtures.sh
source "$here/install-fixtures.sh"

version=${KLM_SETUP_VERSION:-win7}
# The operating-system page's choice for the version, and the refusal of a model that does
# not support it (Windows 8 and later fall back to the Windows 7 key when the model has no
# key of its own, so the same package edit refuses on both).
case $version in
    win8 | win81 | win10) os_radio=1079 os_refusal=IDS_NOTSUPPORTWin10 ;;
    *) os_radio=1078 os_refusal=IDS_NOTSUPPORTWin7 ;;
esac
# Windows 7 keeps the plain folder names; other versions get their own beside them.
runs_for=""
[[ $version != win7 ]] && runs_for="-$version"
log_dir=$build_dir/setup-logs$runs_for
shot_dir=$build_dir/setup-shots$runs_for

if [[ $build == 1 ]]; then
    cmake -S "$repo" -B "$build_dir" -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-i686.cmake" >/dev/null || exit 1
    cmake --build "$build_dir" -j"$(nproc)" --target setup_driver spooler_twins >/dev/null || exit 1
    "$repo/scripts/build-programs.sh" "$programs_dir" >/dev/null || exit 1
    "$repo/scripts/build-package.sh" --for-wine "$package" >/dev/null || exit 1
    klm_log "built in $(elapsed "$started") s"
fi
setup_exe=$programs_dir/src/setup.exe
uninstaller=$programs_dir/src/uninstall.exe
driver=$build_dir/tests/wine-setup/setup_driver.exe
KLM_TWINS_EXE=$build_dir/tests/wine-install/spooler_twins.exe
for f in "$setup_exe" "$uninstaller" "$driver" "$KLM_TWINS_EXE" "$package/DRVCONFIG/setup.ini"; do
    [[ -f $f ]] || { klm_log "missing $f: build first"; exit 1; }
done

klm_install_trap
mkdir -p "$log_dir" "$shot_dir"
rm -f "$log_dir"/*.log "$shot_dir"/*.png
klm_start_xvfb || exit 1

# The package with setup.exe in it, as it ships; the driver outside it, so that no DLL of
# the package is found next to the driver.
prepare_prefix() {
    local prefix=$1 arch=$2
    klm_prepare_windows_parts "$prefix" "$arch" "$package" "$fixtures" || return 1
    rm -rf "$prefix/drive_c/pkg" "$prefix/drive_c/tools"
    cp -a "$package" "$prefix/drive_c/pkg" && cp "$setup_exe" "$uninstaller" "$prefix/drive_c/pkg/" &&
        mkdir -p "$prefix/drive_c/tools" && cp "$driver" "$prefix/drive_c/tools/setup_driver.exe"
}

failures=()
fail() { failures+=("$*"); echo "FAIL: $*" >>"$log"; }

# Extra environment of the Wine programs (the Chinese run's locale); not of this shell.
wine_env=(KLM_ENV_SET=1)
title_args=()
log_filter=(cat)   # the driver writes the programs' code page
current=""   # the case running, for the failure lines

# drive CMD ARGS [; CMD ARGS]...: setup_driver in the prefix; its output goes to the log.
drive() {
    (cd "$KLM_PREFIX/drive_c/tools" && KLM_WINE_TIMEOUT=180 klm_in_prefix "$KLM_PREFIX" env "${wine_env[@]}" \
        wine setup_driver.exe --package 'C:\pkg' "${title_args[@]}" "$@" </dev/null) 2>>"$log" |
        tr -d '\r' | "${log_filter[@]}" >>"$log"
    return "${PIPESTATUS[0]}"
}
# D: drive, and on failure record it with the state of the wizard's windows in the log.
D() {
    echo "-- $*" >>"$log"
    drive "$@" && return 0
    fail "$arch/$current: $(tail -n 3 "$log" | grep -m1 '^FAIL' || echo "$*")"
    drive dump >/dev/null 2>&1
    return 1
}
# shot NAME [DELAY]: the screen, once the last change has been drawn.
shot() { sleep "${2:-0.4}"; import -window root "$shot_dir/$1.png" 2>>"$log" || fail "$arch: screenshot $1"; }

# Starts a program of the package folder in the background; sets started_pid.
start_program() {
    (cd "$KLM_PREFIX/drive_c/pkg" && exec env "${wine_env[@]}" WINEPREFIX="$KLM_PREFIX" \
        timeout -k 10 300 wine "$1" </dev/null >>"$log" 2>&1) &
    started_pid=$!
}
start_setup() { start_program setup.exe; setup_pid=$started_pid; }
# wait_ended PID SECONDS WHAT: the program must end by itself; it is killed if it does not.
wait_ended() {
    local pid=$1 seconds=$2 what=$3
    for _ in $(seq 1 $((seconds * 10))); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    if kill -0 "$pid" 2>/dev/null; then
        fail "$arch/$current: $what did not end within $seconds s"
        kill "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
        return 1
    fi
    wait "$pid" 2>/dev/null
    return 0
}
# After a case, whatever happened: no wizard may be left for the next one.
finish_setup() {
    if kill -0 "$setup_pid" 2>/dev/null; then
        drive close >/dev/null 2>&1
        wait_ended "$setup_pid" 10 "setup.exe (left open by a failed step)" || true
    fi
    wait "$setup_pid" 2>/dev/null
}

# ini_set FILE SECTION KEY VALUE: changes one key of a package file (CR LF kept).
ini_set() {
    local file=$1 section=$2 key=$3 value=$4
    awk -v s="[$section]" -v k="$key" -v v="$value" '
        { line = $0; sub(/\r$/, "", line) }
        line ~ /^\[/ { inside = (line == s) }
        inside && index(line, k "=") == 1 { printf "%s=%s\r\n", k, v; done = 1; next }
        { print }
        END { exit !done }' "$file" >"$file.new" && mv "$file.new" "$file" ||
        { fail "$arch/$current: no $key in [$section] of $(basename "$file")"; rm -f "$file.new"; return 1; }
}
license() { ini_set "$KLM_PREFIX/drive_c/pkg/DRVCONFIG/setup.ini" DEVICENAME LOADLICENSE "$1"; }
# usb_bus LINE...: the printers the stand-in USB library reports.
usb_bus() { printf '%s\r\n' "$@" >"$KLM_PREFIX/drive_c/pkg/RuZuvUzu.state"; }
# The identifier the first printer on the bus reports now.
usb_identifier() {
    local bcd
    bcd=$(tr -d '\r' <"$KLM_PREFIX/drive_c/pkg/RuZuvUzu.state" | sed -n 's/^bcd1\?=//p' | tail -1)
    echo $(((bcd % 8) + 1))
}

# Through the printer-type, install-mode and operating-system pages to the port page.
#   to_port_page RADIO LIST MODEL typical|advanced [default]
to_port_page() {
    local radio=$1 list=$2 model=$3 mode=$4 default=${5:-}
    local c=(wait-page type 10 \; click "$radio" \; select "$list" "$model")
    [[ -n $default ]] && c+=(\; click 1046 \; expect-checked 1046 1)
    c+=(\; click 1 \; wait-page mode 10)
    [[ $mode == advanced ]] && c+=(\; click 1067 \; expect-visible 1069 1 \; expect-text 1069 @Mode/Note3)
    c+=(\; click 1 \; wait-page os 10 \; click 1 \; wait-page port 20 \; expect-text 1 @Setup/Install)
    D "${c[@]}"
}

# The installation running: the success text, then the wizard and its process must be gone.
finish_install() {
    local key=$1 name=$2
    D wait-box "Message/$key" 120 || return 1
    shot "$name"
    D answer "Message/$key" 1 5 \; wait-gone 20 || return 1
    wait_ended "$setup_pid" 20 "setup.exe after the final message"
}
install_and_finish() { D click 1 || return 1; finish_install "$@"; }

case_usb_typical() {
    usb_bus count=1 bcd=0
    license 1
    start_setup
    # The agreement first: Next only while Accept is chosen.
    D wait-frame 60 \; wait-page license 5 \; expect-checked 1058 1 \; expect-enabled 1 0 \; expect-enabled 1002 0 \
        \; expect-text 1057 @Legal/Accept \; expect-text 2 @Setup/Cancel \; expect-text 1093 @Setup/Help || return 1
    shot "$arch-a1-license"
    D click 1057 \; expect-enabled 1 1 \; click 1058 \; expect-enabled 1 0 \; click 1057 \; click 1 \
        \; wait-page type 10 \; expect-enabled 1002 1 \; expect-text 1046 @Series/Default \
        \; expect-checked 1020 1 \; expect-selected 1031 KLM-B200 \; expect-enabled 1030 0 \
        \; click 1019 \; expect-enabled 1030 1 \; expect-enabled 1031 0 \; select 1030 KLM-A100 || return 1
    shot "$arch-a2-type"
    # Back to the agreement finds Accept still chosen.
    D click 1002 \; wait-page license 5 \; expect-checked 1057 1 \; expect-enabled 1 1 \; expect-enabled 1002 0 \
        \; click 1 \; wait-page type 5 \; expect-selected 1030 KLM-A100 \
        \; click 1 \; wait-page mode 10 \; expect-checked 1066 1 \; expect-enabled 1067 1 \
        \; expect-text 1068 @Mode/Note1 \; expect-visible 1069 0 || return 1
    shot "$arch-a3-mode"
    local win2000=1
    [[ $arch == win64 ]] && win2000=0
    D click 1 \; wait-page os 10 \; expect-checked "$os_radio" 1 \; expect-enabled "$os_radio" 1 \; expect-enabled 1029 0 \
        \; expect-visible 1028 "$win2000" \; expect-text 1 @Setup/Next || return 1
    shot "$arch-a4-os"
    D click 1 \; wait-page port 20 \; expect-text 1 @Setup/Install \; expect-selected 1049 USB_KLM-A100_1 \
        \; expect-visible 1052 0 \; expect-enabled 1041 0 \; expect-enabled 1106 0 || return 1
    shot "$arch-a5-port"
    # No question: the printer already answers to the port's identifier. The USB device
    # driver's installer runs first, then the progress window shows while the worker runs.
    D click 1 \; wait-progress 60 || return 1
    shot "$arch-a6-progress" 0.1
    finish_install IDS_INF_USBRESTART "$arch-a7-done" || return 1
    D expect-printer "KLM-A100(U) 1" USB_KLM-A100_1 "KLM A100 Receipt" \; expect-monitor "KLM USB Port" \
        \; expect-driver "KLM A100 Receipt" \; expect-processor KLMPrintProc klmproc.dll \
        \; expect-value 'SOFTWARE\TARVEKO\PORTNAME' USB_KLM-A100_1 101
    [[ $(usb_identifier) == 1 ]] || fail "$arch/$current: the printer's identifier changed to $(usb_identifier)"
}

case_usb_advanced() {
    usb_bus count=1 bcd=0
    license 0
    start_setup
    D wait-frame 60 \; wait-page type 10 || return 1
    to_port_page 1019 1030 KLM-A100 advanced || return 1
    # The printer's own port is offered first; the user takes another.
    D expect-selected 1049 USB_KLM-A100_1 \; expect-visible 1052 1 \; expect-checked 1052 1 \
        \; select 1049 USB_KLM-A100_3 || return 1
    shot "$arch-b1-port"
    D click 1 \; wait-box Message/IDS_INF_CHANGEID 30 || return 1
    shot "$arch-b2-change-id"
    # No: nothing happens, the choices stay.
    D answer Message/IDS_INF_CHANGEID 7 5 \; wait-page port 5 \; expect-selected 1049 USB_KLM-A100_3 || return 1
    [[ $(usb_identifier) == 1 ]] || fail "$arch/$current: No changed the identifier to $(usb_identifier)"
    D click 1 \; answer Message/IDS_INF_CHANGEID 6 30 || return 1
    finish_install IDS_INF_USBRESTART "$arch-b3-done" || return 1
    [[ $(usb_identifier) == 3 ]] || fail "$arch/$current: the printer reports identifier $(usb_identifier), not 3"
    D expect-printer "KLM-A100(U) 3" USB_KLM-A100_3 "KLM A100 Receipt" \
        \; expect-value 'SOFTWARE\TARVEKO\PORTNAME' USB_KLM-A100_3 103
}

case_serial() {
    usb_bus count=0
    license 0
    start_setup
    D wait-frame 60 || return 1
    to_port_page 1019 1030 KLM-A100 advanced || return 1
    # 32-bit Windows gets the package's own serial ports, 64-bit Windows the system's.
    local com=QXCOM2: coms="QXCOM1:,QXCOM2:,QXCOM3:,QXCOM4:,QXCOM5:,QXCOM6:,QXCOM7:,QXCOM8:"
    local lpt_net="LPT1:,LPT2:,LPT3:,NET:" usb="USB_KLM-A100_1,USB_KLM-A100_2,USB_KLM-A100_3,USB_KLM-A100_4"
    local items="$lpt_net,$coms,$usb"
    if [[ $arch == win64 ]]; then
        com=COM2: coms="COM1:,COM2:,COM3:,COM4:,COM5:,COM6:,COM7:,COM8:"
        items="$coms,$lpt_net,$usb"
    fi
    D expect-items 1049 "$items" \; expect-selected 1049 LPT1: \; expect-enabled 1041 0 \
        \; expect-selected 1041 9600 \; expect-selected 1043 "$(lang_text Confirm Parity.None)" \
        \; expect-selected 1042 8 \; expect-selected 1044 1 \; expect-selected 1045 Hardware \
        \; select 1049 "$com" \; expect-enabled 1041 1 \; expect-enabled 1052 0 \; expect-checked 1052 0 \
        \; select 1041 19200 \; select 1043 "$(lang_text Confirm Parity.Odd)" \; select 1042 7 \
        \; select 1044 2 \; select 1045 Xon/Xoff || return 1
    shot "$arch-c1-port"
    install_and_finish IDS_INF_NTRESTART "$arch-c2-done" || return 1
    D expect-printer "KLM-A100(S)" "$com" "KLM A100 Receipt Serial" \; expect-driver "KLM A100 Receipt Serial" \
        \; expect-serial COM2: "19200,o,7,2,x"
}

case_network() {
    usb_bus count=0
    license 0
    start_setup
    D wait-frame 60 || return 1
    to_port_page 1019 1030 KLM-A100 typical || return 1
    D select 1049 NET: \; expect-enabled 1106 1 \; expect-enabled 1041 0 \; click 1 \
        \; wait-box Message/IDS_ERR_IPADDRISNULL 20 || return 1
    shot "$arch-d1-no-address"
    D answer Message/IDS_ERR_IPADDRISNULL 1 5 \; wait-page port 5 \; expect-selected 1049 NET: \
        \; set-ip 1106 192.168.1.20 || return 1
    shot "$arch-d2-port"
    install_and_finish IDS_INF_NTRESTART "$arch-d3-done" || return 1
    D expect-port IP_192.168.1.20 \; expect-printer "KLM-A100(E)" IP_192.168.1.20 "KLM A100 Receipt"
}

case_parallel() {
    usb_bus count=0
    license 0
    start_setup
    # The package's default model is chosen already.
    D wait-frame 60 \; wait-page type 10 \; expect-enabled 1002 0 \; expect-enabled 1 1 \
        \; expect-checked 1020 1 \; expect-selected 1031 KLM-B200 \; expect-enabled 1031 1 \
        \; click 1046 \; expect-checked 1046 1 || return 1
    shot "$arch-e1-type"
    D click 1 \; wait-page mode 10 \; click 1 \; wait-page os 10 \; click 1 \; wait-page port 20 \
        \; expect-selected 1049 LPT1: \; select 1049 LPT2: || return 1
    install_and_finish IDS_INF_NTRESTART "$arch-e2-done" || return 1
    D expect-printer "KLM-B200(P)" LPT2: \; expect-default "KLM-B200(P)"
}

case_refusal() {
    usb_bus count=0
    license 0
    # A model that does not support Windows 7, and that allows only the typical mode.
    local models=$KLM_PREFIX/drive_c/pkg/DRVCONFIG/setup_embedded.ini
    [[ $arch == win64 ]] && models=$KLM_PREFIX/drive_c/pkg/DRVCONFIG/setup_embedded_64.ini
    ini_set "$models" KLM-E10.PORT SystemWin7Supported 0 && ini_set "$models" KLM-E10.PORT AdvancedSetup 0 || return 1
    start_setup
    D wait-frame 60 \; wait-page type 10 \; click 1073 \; select 1074 KLM-E10 \; click 1 \; wait-page mode 10 \
        \; expect-enabled 1067 0 \; expect-checked 1066 1 \; expect-text 1068 @Message/IDS_TYPICAL_NOTES \
        \; click 1 \; wait-page os 10 \; click 1 \; wait-box "Message/$os_refusal" 20 || return 1
    shot "$arch-f1-not-supported"
    D answer "Message/$os_refusal" 1 5 \; wait-page os 5 \; expect-text 1 @Setup/Next \
        \; click 1002 \; wait-page mode 5 \; click 1002 \; wait-page type 5 \; expect-enabled 1002 0 \
        \; expect-checked 1073 1 \; expect-selected 1074 KLM-E10 \
        \; click 1 \; wait-page mode 10 \; click 1 \; wait-page os 10 \; click 1 \
        \; answer "Message/$os_refusal" 1 20 \; wait-page os 5 || return 1
    # A second start: no window, no message; the first wizard stays as it is.
    local first=$setup_pid
    start_setup
    wait_ended "$setup_pid" 30 "a second setup.exe" || return 1
    setup_pid=$first
    D frames 1 \; no-box 1 \; wait-page os 2 \; close \; wait-gone 10 || return 1
    wait_ended "$setup_pid" 10 "setup.exe after Cancel" || return 1
    D expect-no-printer "KLM-E10(S)"
}

# The uninstaller's own window, under the title it has in the package's language.
case_uninstaller() {
    local title=$1 shots=$2 saved=("${title_args[@]}")
    start_program uninstall.exe
    local uninstall_pid=$started_pid
    D wait-window "$title" 60 || { kill "$uninstall_pid"; return 1; }
    start_setup
    D wait-box Setup/Close 30 || { kill "$uninstall_pid"; return 1; }
    shot "$shots-refused"
    D answer Setup/Close 1 5 || { kill "$uninstall_pid"; return 1; }
    wait_ended "$setup_pid" 20 "setup.exe after its refusal"
    D frames 0 \; no-box 1
    shot "$shots-uninstaller-left"
    title_args=(--title "$title")
    D close
    title_args=("${saved[@]}")
    wait_ended "$uninstall_pid" 20 "uninstall.exe after Exit"
}

lang_text() {
    sed -n "/^\[$1\]/,/^\[/p" "$KLM_PREFIX/drive_c/pkg/language/setup.ini" | sed -n "s/^$2=//p" | head -1 | tr -d '\r'
}

run_case() {
    current=$1
    local before=${#failures[@]} t
    t=$(date +%s.%N)
    echo "== $current" >>"$log"
    "case_$current" "${@:2}" || [[ ${#failures[@]} -gt $before ]] || fail "$arch/$current: stopped"
    finish_setup
    echo "   ($(elapsed "$t") s)" >>"$log"
}

run_arch() {
    arch=$1
    if ! klm_run_prefix "$arch" || ! klm_set_version "$KLM_PREFIX" "$version" || ! prepare_prefix "$KLM_PREFIX" "$arch"; then
        fail "$arch: prefix not prepared"
        return 1
    fi
    setup_pid=0
    run_case usb_typical
    run_case usb_advanced
    run_case serial
    run_case network
    run_case parallel
    run_case refusal
    run_case uninstaller Uninstall "$arch-g"
    echo "-- installed:" >>"$log"
    drive inventory
    if [[ $arch == win64 ]]; then
        echo "-- the x86 twins:" >>"$log"
        klm_verify_x86_twins "$KLM_PREFIX" "$package" >>"$log" 2>&1 || fail "$arch: x86 twins (see $log)"
    fi
}

# The Chinese wording: the package switched as language-zh\README.txt says, the programs
# run with a Chinese code page (the locale is compiled into a private folder when the
# system has none), the titles given to the driver in that code page.
run_chinese() {
    arch=win32
    local locale_dir="" zh_locale
    zh_locale=$(locale -a 2>/dev/null | grep -i -m1 '^zh_CN\.utf-\?8$')
    if [[ -z $zh_locale ]]; then
        locale_dir=$_klm_run_dir/locale
        mkdir -p "$locale_dir"
        if localedef -i zh_CN -f UTF-8 "$locale_dir/zh_CN.UTF-8" >>"$log" 2>&1 ||
                [[ -f $locale_dir/zh_CN.UTF-8/LC_CTYPE ]]; then
            zh_locale=zh_CN.UTF-8
        else
            echo "no zh_CN locale and none could be made: Chinese run skipped" | tee -a "$log" >&2
            return 0
        fi
    fi
    if ! klm_run_prefix "$arch" || ! klm_set_version "$KLM_PREFIX" "$version" || ! prepare_prefix "$KLM_PREFIX" "$arch"; then
        fail "zh: prefix not prepared"
        return 1
    fi
    local pkg=$KLM_PREFIX/drive_c/pkg
    cp "$pkg/language-zh/uninstall.ini" "$pkg/language/uninstall.ini" &&
        cp "$pkg/language-zh/setup.ini" "$pkg/language/setup.ini" &&
        cp "$pkg/language-zh/setup-package.ini" "$pkg/DRVCONFIG/setup.ini" || { fail "zh: package not switched"; return 1; }
    wine_env=(LANG="$zh_locale" LC_ALL="$zh_locale")
    [[ -n $locale_dir ]] && wine_env+=(LOCPATH="$locale_dir")
    # Wine reads the command line in the locale's UTF-8 and hands the programs GBK.
    local title uninstall_title
    title=$(lang_text Setup Caption | iconv -f GBK -t UTF-8)
    uninstall_title=$(sed -n 's/^Title=//p' "$pkg/language/uninstall.ini" | head -1 | tr -d '\r' | iconv -f GBK -t UTF-8)
    title_args=(--title "$title")
    log_filter=(iconv -f GBK -t UTF-8 -c)
    # Wine links its dialog and caption fonts to SimSun for Chinese text, which Debian does
    # not have: without a stand-in, captions and message boxes show empty squares where a
    # Chinese Windows shows the characters.
    local face
    for face in SimSun NSimSun "$(printf '\xe5\xae\x8b\xe4\xbd\x93')"; do
        klm_in_prefix "$KLM_PREFIX" env "${wine_env[@]}" wine reg add 'HKCU\Software\Wine\Fonts\Replacements' \
            /v "$face" /t REG_SZ /d "WenQuanYi Zen Hei" /f </dev/null >/dev/null 2>&1
    done
    current=pages
    setup_pid=0
    usb_bus count=0
    license 1
    echo "== pages" >>"$log"
    start_setup
    {
        D wait-frame 60 \; wait-page license 5 \; expect-text 1057 @Legal/Accept \; expect-text 1 @Setup/Next &&
            shot zh-a1-license &&
            D click 1057 \; click 1 \; wait-page type 10 \; expect-text 1046 @Series/Default \; click 1019 \
                \; select 1030 KLM-A100 &&
            shot zh-a2-type &&
            D click 1 \; wait-page mode 10 \; expect-text 1068 @Mode/Note1 \; click 1067 \; expect-text 1069 @Mode/Note3 &&
            shot zh-a3-mode &&
            D click 1 \; wait-page os 10 &&
            shot zh-a4-os &&
            D click 1 \; wait-page port 20 \; expect-text 1 @Setup/Install \; select 1049 QXCOM1: \
                \; expect-selected 1043 "$(lang_text Confirm Parity.None | iconv -f GBK -t UTF-8)" &&
            shot zh-a5-port &&
            D click 1 \; wait-progress 60 \; wait-box Message/IDS_INF_NTRESTART 120 &&
            shot zh-a6-done &&
            D answer Message/IDS_INF_NTRESTART 1 5 \; wait-gone 20 &&
            wait_ended "$setup_pid" 20 "setup.exe after the final message" &&
            D expect-printer "KLM-A100(S)" QXCOM1:
    } || [[ ${#failures[@]} -gt 0 ]] || fail "zh/pages: stopped"
    finish_setup
    run_case uninstaller "$uninstall_title" zh-g
}

summary=()
for arch in ${KLM_SETUP_ARCHES-win32 win64}; do
    t0=$(date +%s.%N)
    log=$log_dir/$arch.log
    before=${#failures[@]}
    run_arch "$arch"
    result=passed
    [[ ${#failures[@]} -gt $before ]] && result=FAILED
    summary+=("$(printf '%-6s %-9s %-7s %5s s' "$arch" "$version" "$result" "$(elapsed "$t0")")")
    WINEPREFIX=$KLM_PREFIX timeout -k 5 20 wineserver -k >/dev/null 2>&1
done
if [[ -z ${KLM_SETUP_SKIP_ZH:-} ]]; then
    t0=$(date +%s.%N)
    log=$log_dir/zh.log
    before=${#failures[@]}
    run_chinese
    result=passed
    [[ ${#failures[@]} -gt $before ]] && result=FAILED
    summary+=("$(printf '%-6s %-9s %-7s %5s s' zh "$version" "$result" "$(elapsed "$t0")")")
fi

printf '%s\n' "${summary[@]}"
klm_log "whole run: $(elapsed "$started") s; logs in $log_dir, screenshots in $shot_dir"
if [[ ${#failures[@]} -gt 0 ]]; then
    printf 'FAILED: %s\n' "${failures[@]}" >&2
    exit 1
fi
