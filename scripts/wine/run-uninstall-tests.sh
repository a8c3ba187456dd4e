#!/usr/bin/env bash
# The uninstaller end to end through the real Win32 calls: in a 32-bit and a 64-bit Wine
# prefix the engine (install_check.exe) installs printers of the sample package on an LPT,
# a USB and a COM port, the test adds a printer on a driver the package does not list, then
# uninstall.exe runs under a virtual desktop and ui_driver.exe drives it from outside:
# checks one printer and the USB monitor, presses Uninstall, tries every way of closing the
# window while the removal runs (it must stay open), answers the restart question No, waits
# for the buttons to come back and closes the window (WM_CLOSE; the Chinese run presses
# Exit). Afterwards ui_driver.exe checks
# through the spooler, the registry and the file system that exactly what was checked (and
# what the uninstaller removes with it) is gone and everything else is still there. A second
# run selects everything offered and removes it; the print processor must be gone from the
# environment setup registered it for ("Windows x64" in the 64-bit prefix: key and DLL in the
# x64 processor folder) and a third run must offer nothing, although the x86 twin of the
# processor (install-fixtures.sh) is still there. The uninstaller is the shipped build
# (scripts/build-programs.sh, build-programs/).
# Screenshots of the dialog before and after go to build-win32/uninstall-shots/, plus one
# of the Chinese wording when a Chinese locale can be made.
#
#   scripts/wine/run-uninstall-tests.sh [--no-build]
#
# Variables: KLM_UNINSTALL_VERSION (default win7), KLM_PROGRAMS_DIR (default build-programs),
# plus those of lib.sh.
set -uo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=lib.sh
source "$here/lib.sh"
# shellcheck source=install-fixtures.sh
source "$here/install-fixtures.sh"

version=${KLM_UNINSTALL_VERSION:-win7}
# Windows 7 keeps the plain folder names; other versions get their own beside them.
runs_for=""
[[ $version != win7 ]] && runs_for="-$version"
log_dir=$build_dir/uninstall-logs$runs_for
shot_dir=$build_dir/uninstall-shots$runs_for

if [[ $build == 1 ]]; then
    cmake -S "$repo" -B "$build_dir" -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-i686.cmake" >/dev/null || exit 1
    cmake --build "$build_dir" -j"$(nproc)" --target install_check ui_driver spooler_twins >/dev/null || exit 1
    "$repo/scripts/build-programs.sh" "$programs_dir" >/dev/null || exit 1
    "$repo/scripts/build-package.sh" --for-wine "$package" >/dev/null || exit 1
    klm_log "built in $(elapsed "$started") s"
fi
installer=$build_dir/tests/wine-install/install_check.exe
uninstaller=$programs_dir/src/uninstall.exe
driver=$build_dir/tests/wine-uninstall/ui_driver.exe
KLM_TWINS_EXE=$build_dir/tests/wine-install/spooler_twins.exe
for f in "$installer" "$uninstaller" "$driver" "$KLM_TWINS_EXE" "$package/DRVCONFIG/setup.ini"; do
    [[ -f $f ]] || { klm_log "missing $f: build first"; exit 1; }
done

klm_install_trap
mkdir -p "$log_dir" "$shot_dir"
rm -f "$log_dir"/*.log "$shot_dir"/*.png
klm_start_xvfb || exit 1

# What a real Windows has and Wine lacks, as run-install-tests.sh arranges it; ui_driver
# lives outside the package folder so that no DLL of the package is found next to it.
prepare_prefix() {
    local prefix=$1 arch=$2
    klm_prepare_windows_parts "$prefix" "$arch" "$package" "$fixtures" || return 1
    rm -rf "$prefix/drive_c/pkg" "$prefix/drive_c/tools"
    cp -a "$package" "$prefix/drive_c/pkg" && cp "$installer" "$uninstaller" "$prefix/drive_c/pkg/" &&
        mkdir -p "$prefix/drive_c/tools" && cp "$driver" "$prefix/drive_c/tools/ui_driver.exe"
}

list_system_files() {
    (cd "$KLM_PREFIX/drive_c/windows" && find system32 syswow64 -maxdepth 1 -iname 'klm*' 2>/dev/null | sort)
}

# Extra environment of the Wine programs (the Chinese run's locale); not of this shell.
wine_env=(KLM_ENV_SET=1)
failures=()
fail() { failures+=("$*"); echo "FAIL: $*" >>"$log"; }

# ui_driver in the prefix; its output goes to the log (and to stdout for the caller).
ui() {
    (cd "$KLM_PREFIX/drive_c/tools" && KLM_WINE_TIMEOUT=120 klm_in_prefix "$KLM_PREFIX" env "${wine_env[@]}" wine ui_driver.exe "$@" </dev/null) 2>>"$log" |
        tr -d '\r' | tee -a "$log"
    return "${PIPESTATUS[0]}"
}
step() { echo "-- $*" >>"$log"; ui "$@" >/dev/null || { fail "$arch: ui_driver $*"; return 1; }; }
install() {
    (cd "$KLM_PREFIX/drive_c/pkg" && klm_in_prefix "$KLM_PREFIX" wine install_check.exe "$@" </dev/null) >>"$log" 2>&1 ||
        { fail "$arch: install_check $*"; return 1; }
}
shot() { sleep 0.5; import -window root "$shot_dir/$1.png" 2>>"$log" || fail "$arch: screenshot $1"; }

# Starts uninstall.exe from the package folder in the background; sets uninstall_pid.
start_uninstaller() {
    (cd "$KLM_PREFIX/drive_c/pkg" && exec env "${wine_env[@]}" WINEPREFIX="$KLM_PREFIX" \
        timeout -k 10 300 wine uninstall.exe </dev/null >>"$log" 2>&1) &
    uninstall_pid=$!
}
# Waits for the background uninstall.exe to end (it was asked to), killing it after 30 s.
stop_uninstaller() {
    for _ in $(seq 1 300); do kill -0 "$uninstall_pid" 2>/dev/null || break; sleep 0.1; done
    if kill -0 "$uninstall_pid" 2>/dev/null; then
        fail "$arch: uninstall.exe did not end when closed"
        kill "$uninstall_pid" 2>/dev/null
    fi
    wait "$uninstall_pid" 2>/dev/null
}

A100_LPT="KLM-A100(P)"
A100_USB="KLM-A100(U) 1"
B200_COM="KLM-B200(S)"
FOREIGN="Office Laser"
FOREIGN_DRIVER="Office Laser Driver"

run_arch() {
    local arch=$1 sys sysdir
    if ! klm_run_prefix "$arch" || ! klm_set_version "$KLM_PREFIX" "$version" || ! prepare_prefix "$KLM_PREFIX" "$arch"; then
        fail "$arch: prefix not prepared"
        return 1
    fi
    install KLM-A100 0 LPT1: --std --expect-name "$A100_LPT" || return 1
    printf 'count=1\nbcd=0\n' >"$KLM_PREFIX/drive_c/pkg/RuZuvUzu.state"
    install KLM-A100 0 USB_KLM-A100_1 --usb-steps typical --expect-name "$A100_USB" \
        --expect-monitor "KLM USB Port" 4 || return 1
    install KLM-B200 1 COM1: --expect-name "$B200_COM" || return 1
    step add-foreign "$FOREIGN" "$FOREIGN_DRIVER" LPT2: || return 1
    echo "-- installed:" >>"$log"
    ui inventory >/dev/null

    # The files the uninstaller deletes with the USB monitor, and where it looks for them:
    # the monitor DLLs in the real system folder; the language monitor's DLL only on
    # 32-bit Windows (64-bit Windows keeps it). On 64-bit Windows setup installs only the
    # USB monitor, so the COM monitor and the language monitor are checked where they exist.
    sys='C:\windows\system32'
    sysdir=$KLM_PREFIX/drive_c/windows/system32
    has_file() { [[ -n $(find "$sysdir" -maxdepth 1 -iname "$1") ]]; }
    local usb_files=(klmusb.dll klmusbui.dll) kept_files=() have_com=0 rows_expected=5
    [[ $arch == win32 ]] && usb_files+=(klmlm.dll)
    for f in "${usb_files[@]}"; do has_file "$f" || fail "$arch: $f not installed by setup, nothing to check"; done
    if ui inventory | grep -x 'monitor   KLM COM Port' >/dev/null; then
        have_com=1 rows_expected=6
        kept_files+=(klmcom.dll klmcomui.dll)
    elif [[ $arch == win32 ]]; then
        fail "$arch: setup installed no KLM COM Port monitor"
    fi
    [[ $arch == win64 ]] && has_file klmlm.dll && kept_files+=(klmlm.dll)
    for f in "${kept_files[@]}"; do has_file "$f" || fail "$arch: $f not installed by setup, nothing to check"; done
    step expect present key64 'SOFTWARE\TARVEKO\PORTNAME' || true
    # Only in the 64-bit view on 64-bit Windows, never also under Wow6432Node.
    [[ $arch == win64 ]] && step expect absent key32 'SOFTWARE\TARVEKO\PORTNAME'
    step expect present processor-key KLMPrintProc
    step expect present processor-file klmproc.dll
    [[ $arch == win32 ]] && step expect present monitor-key 'KLM Language Monitor'
    local lpt_driver usb_driver
    lpt_driver=$(ui driver-of "$A100_LPT")
    usb_driver=$(ui driver-of "$A100_USB")
    echo "-- system files:" >>"$log"; list_system_files >>"$log"
    echo "-- drivers: LPT printer '$lpt_driver', USB printer '$usb_driver'" >>"$log"

    start_uninstaller
    step wait-window Uninstall 60 || return 1
    step wait-enabled 1002 30 || true
    echo "-- rows before:" >>"$log"
    local rows
    rows=$(ui rows)
    # Offered: the package's three printers, its two monitors and its print processor;
    # never the foreign printer.
    local want
    local offered=("[ ] $A100_LPT" "[ ] $A100_USB" "[ ] $B200_COM" "[ ] KLM USB Port" "[ ] KLMPrintProc")
    [[ $have_com == 1 ]] && offered+=("[ ] KLM COM Port")
    for want in "${offered[@]}"; do
        grep -qxF -- "$want" <<<"$rows" || fail "$arch: row '$want' not offered"
    done
    grep -qF -- "$FOREIGN" <<<"$rows" && fail "$arch: the foreign printer is offered"
    [[ $(wc -l <<<"$rows") == "$rows_expected" ]] ||
        fail "$arch: $(wc -l <<<"$rows") rows offered, $rows_expected expected"
    step check-row "$A100_LPT"
    step check-row "KLM USB Port"
    shot "$arch-before"
    step click 1002 || return 1
    step close-while-busy 1.5 || return 1
    step answer "Restart Windows" 2 120 || return 1
    step wait-enabled 2 120 || return 1
    step wait-enabled 1002 10
    echo "-- notes:" >>"$log"
    ui notes >/dev/null
    echo "-- rows after:" >>"$log"
    rows=$(ui rows)
    local left=("[ ] $A100_USB" "[ ] $B200_COM" "[ ] KLMPrintProc")
    [[ $have_com == 1 ]] && left+=("[ ] KLM COM Port")
    for want in "${left[@]}"; do
        grep -qxF -- "$want" <<<"$rows" || fail "$arch: row '$want' gone after the removal"
    done
    [[ $(wc -l <<<"$rows") == $((rows_expected - 2)) ]] ||
        fail "$arch: $(wc -l <<<"$rows") rows after the removal, $((rows_expected - 2)) expected"
    shot "$arch-after"
    step close
    stop_uninstaller
    echo "-- system files left:" >>"$log"; list_system_files >>"$log"
    echo "-- left:" >>"$log"
    ui inventory >/dev/null

    # Gone: the checked printer, the USB monitor
    # with its registry key, the language monitor's key, the package's USB records and the
    # monitor's files.
    step expect absent printer "$A100_LPT"
    step expect absent monitor "KLM USB Port"
    step expect absent monitor-key "KLM USB Port"
    step expect absent monitor-key "KLM Language Monitor"
    step expect absent key64 'SOFTWARE\TARVEKO\PORTNAME'
    step expect absent key64 'SOFTWARE\TARVEKO\INSTALLPRINTER'
    step expect absent key32 'SOFTWARE\TARVEKO\PORTNAME'
    for f in "${usb_files[@]}"; do step expect absent file "$sys\\$f"; done
    # Kept: everything unchecked.
    step expect present printer "$A100_USB"
    step expect present printer "$B200_COM"
    step expect present printer "$FOREIGN"
    # The removed printer's driver stays: the unchecked USB printer still uses it.
    [[ $lpt_driver == "$usb_driver" ]] || fail "$arch: the LPT and USB printers were expected on one driver"
    step expect present driver "$usb_driver"
    step expect present x86-driver "$FOREIGN_DRIVER"
    if [[ $have_com == 1 ]]; then
        step expect present monitor "KLM COM Port"
        step expect present monitor-key "KLM COM Port"
    fi
    step expect present processor "KLMPrintProc"
    for f in "${kept_files[@]}"; do step expect present file "$sys\\$f"; done

    remove_everything || return 1
    if [[ $arch == win64 ]]; then
        echo "-- the x86 twins:" >>"$log"
        # The foreign driver's data file is the test's own.
        klm_verify_x86_twins "$KLM_PREFIX" "$package" allow STDNAMES.GPD >>"$log" 2>&1 || fail "$arch: x86 twins"
    fi
    return 0
}

# Everything still offered, selected with Select and removed: printers first, so that the
# print processor is no longer in use when its turn comes. (The package's driver stays under
# Wine, which refuses DeletePrinterDriverEx with any flag; the notes in the log show it.)
# Then a new start must offer nothing.
remove_everything() {
    start_uninstaller
    step wait-window Uninstall 60 || return 1
    step wait-enabled 1002 30 || return 1
    step click 1012 || return 1
    local rows
    rows=$(ui rows)
    echo "-- all selected:" >>"$log"
    grep -q '^\[ \]' <<<"$rows" && fail "$arch: Select left a row unchecked"
    step click 1002 || return 1
    step answer "Restart Windows" 2 180 || return 1
    step wait-enabled 2 120 || return 1
    echo "-- notes:" >>"$log"
    ui notes >/dev/null
    rows=$(ui rows)
    [[ -z $rows ]] || fail "$arch: rows left after removing everything: $(tr '\n' ';' <<<"$rows")"
    step close
    stop_uninstaller
    echo "-- left:" >>"$log"
    ui inventory >/dev/null

    step expect absent printer "$A100_USB"
    step expect absent printer "$B200_COM"
    step expect absent processor KLMPrintProc
    step expect absent processor-key KLMPrintProc
    step expect absent processor-file klmproc.dll
    step expect absent monitor "KLM COM Port"
    step expect present printer "$FOREIGN"
    step expect present x86-driver "$FOREIGN_DRIVER"

    start_uninstaller
    step wait-window Uninstall 60 || return 1
    rows=$(ui rows)
    [[ -z $rows ]] || fail "$arch: offered after everything was removed: $(tr '\n' ';' <<<"$rows")"
    step close
    stop_uninstaller
}

# The Chinese wording: the package switched as language-zh\README.txt says, the program
# run with a Chinese code page. Debian ships the locale's sources; it is compiled here
# into a private folder when the system has none.
run_chinese() {
    local arch=win32 locale_dir=""
    local zh_locale
    zh_locale=$(locale -a 2>/dev/null | grep -i -m1 '^zh_CN\.utf-\?8$')
    if [[ -z $zh_locale ]]; then
        locale_dir=$_klm_run_dir/locale
        mkdir -p "$locale_dir"
        if localedef -i zh_CN -f UTF-8 "$locale_dir/zh_CN.UTF-8" >>"$log" 2>&1 ||
                [[ -f $locale_dir/zh_CN.UTF-8/LC_CTYPE ]]; then
            zh_locale=zh_CN.UTF-8
        else
            echo "no zh_CN locale and none could be made: Chinese screenshot skipped" | tee -a "$log" >&2
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
    install KLM-A100 0 LPT1: --std || return 1
    # The window title in the code page the program runs with: GBK text of Uninstall/Title.
    local title
    # Wine reads the command line in the locale's UTF-8 and hands the program GBK.
    title=$(sed -n 's/^Title=//p' "$pkg/language/uninstall.ini" | head -1 | tr -d '\r' | iconv -f GBK -t UTF-8)
    wine_env=(LANG="$zh_locale" LC_ALL="$zh_locale")
    [[ -n $locale_dir ]] && wine_env+=(LOCPATH="$locale_dir")
    start_uninstaller
    step wait-window "$title" 60 || return 1
    step --title "$title" check-row "$A100_LPT"
    shot zh-before
    step --title "$title" click 2
    stop_uninstaller
}

summary=()
for arch in ${KLM_UNINSTALL_ARCHES-win32 win64}; do
    t0=$(date +%s.%N)
    log=$log_dir/$arch.log
    before=${#failures[@]}
    run_arch "$arch"
    result=passed
    [[ ${#failures[@]} -gt $before ]] && result=FAILED
    summary+=("$(printf '%-6s %-9s %-7s %5s s' "$arch" "$version" "$result" "$(elapsed "$t0")")")
    WINEPREFIX=$KLM_PREFIX timeout -k 5 20 wineserver -k >/dev/null 2>&1
done
if [[ -z ${KLM_UNINSTALL_SKIP_ZH:-} ]]; then
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
