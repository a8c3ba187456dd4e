#!/usr/bin/env bash
# The unattended mode end to end through the real Win32 calls, with the programs as they
# ship (scripts/build-programs.sh): in a 32-bit and a 64-bit Wine prefix, setup.exe /quiet
# replays an answer file for a USB installation and one for a serial installation (the
# files /record writes for those wizard runs; that a recording replays to the same machine
# is shown natively), then uninstall.exe /quiet /all removes everything, and ui_driver.exe
# compares the spooler's printers, drivers, monitors and processors with the inventory taken
# before setup ran. The refusals are checked by their exit codes. Nobody clicks: a run that
# showed a window would wait for ever, hit the time limit and fail on its exit code. Logs go
# to build-win32/unattended-logs/.
#
#   scripts/wine/run-unattended-tests.sh [--no-build]
#
# Variables: KLM_UNATTENDED_VERSION (default win7), KLM_UNATTENDED_ARCHES (default
# "win32 win64"), KLM_PROGRAMS_DIR (default build-programs), plus those of lib.sh.
set -uo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
repo=$(cd "$here/../.." && pwd)
# shellcheck source=lib.sh
source "$here/lib.sh"
# shellcheck source=install-fixtures.sh
source "$here/install-fixtures.sh"

version=${KLM_UNATTENDED_VERSION:-win7}
log_dir=$build_dir/unattended-logs

if [[ $build == 1 ]]; then
    cmake -S "$repo" -B "$build_dir" -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-i686.cmake" >/dev/null || exit 1
    cmake --build "$build_dir" -j"$(nproc)" --target ui_driver spooler_twins >/dev/null || exit 1
    "$repo/scripts/build-programs.sh" "$programs_dir" >/dev/null || exit 1
    "$repo/scripts/build-package.sh" --for-wine "$package" >/dev/null || exit 1
    klm_log "built in $(elapsed "$started") s"
fi
setup_exe=$programs_dir/src/setup.exe
uninstaller=$programs_dir/src/uninstall.exe
driver=$build_dir/tests/wine-uninstall/ui_driver.exe
KLM_TWINS_EXE=$build_dir/tests/wine-install/spooler_twins.exe
for f in "$setup_exe" "$uninstaller" "$driver" "$KLM_TWINS_EXE" "$package/DRVCONFIG/setup.ini"; do
    [[ -f $f ]] || { klm_log "missing $f: build first"; exit 1; }
done

klm_install_trap
mkdir -p "$log_dir"
rm -f "$log_dir"/*.log
klm_start_xvfb || exit 1

failures=()
fail() { failures+=("$*"); echo "FAIL: $*" >>"$log"; }

prepare_prefix() {
    local prefix=$1 arch=$2
    klm_prepare_windows_parts "$prefix" "$arch" "$package" "$fixtures" || return 1
    rm -rf "$prefix/drive_c/pkg" "$prefix/drive_c/tools"
    cp -a "$package" "$prefix/drive_c/pkg" && cp "$setup_exe" "$uninstaller" "$prefix/drive_c/pkg/" &&
        mkdir -p "$prefix/drive_c/tools" && cp "$driver" "$prefix/drive_c/tools/ui_driver.exe"
}

ui() {
    (cd "$KLM_PREFIX/drive_c/tools" && KLM_WINE_TIMEOUT=120 klm_in_prefix "$KLM_PREFIX" wine ui_driver.exe "$@" </dev/null) \
        2>>"$log" | tr -d '\r'
    return "${PIPESTATUS[0]}"
}
# The spooler's records without the harness's x86 twins, which no run may touch either.
inventory() { ui inventory | sort; }

# Runs a program of the package folder as a deployment system would, waiting for it to end.
# Prints its exit code.
run_program() {
    (cd "$KLM_PREFIX/drive_c/pkg" && KLM_WINE_TIMEOUT=300 klm_in_prefix "$KLM_PREFIX" wine "$@" </dev/null) \
        >>"$log" 2>&1
    echo $?
}
answers() { printf '%s\r\n' '[Install]' "$@" >"$KLM_PREFIX/drive_c/answers.ini"; }
expect_code() {
    local what=$1 want=$2 got=$3
    echo "-- $what: exit code $got" >>"$log"
    [[ $got == "$want" ]] || fail "$arch: $what: exit code $got, expected $want"
}

run_arch() {
    local arch=$1 before after code
    if ! klm_run_prefix "$arch" || ! klm_set_version "$KLM_PREFIX" "$version" || ! prepare_prefix "$KLM_PREFIX" "$arch"; then
        fail "$arch: prefix not prepared"
        return 1
    fi
    before=$(inventory)
    echo "-- before:" >>"$log"; echo "$before" >>"$log"

    # Refusals first, on the untouched machine: each must leave it as it was.
    answers Model=KLM-A100 Port=LPT1: Accept=0
    expect_code "agreement not accepted" 1602 "$(run_program setup.exe /quiet '/answers=C:\answers.ini')"
    answers Model=KLM-A100 Port=LPT1: Colour=1 Accept=1
    expect_code "unknown key" 1639 "$(run_program setup.exe /quiet '/answers=C:\answers.ini')"
    expect_code "quiet without answers" 1639 "$(run_program setup.exe /quiet)"
    expect_code "removal items without quiet" 1639 "$(run_program uninstall.exe /item=X)"
    [[ $(inventory) == "$before" ]] || fail "$arch: a refused run changed the spooler"

    # One USB printer (identifier 1) on the stand-in bus, then the two installations.
    printf 'count=1\r\nbcd=0\r\n' >"$KLM_PREFIX/drive_c/pkg/RuZuvUzu.state"
    answers Model=KLM-A100 Mode=Typical Port=USB_KLM-A100_1 Default=1 Accept=1
    code=$(run_program setup.exe /quiet '/answers=C:\answers.ini' '/log=C:\usb.log')
    [[ $code == 0 || $code == 3010 ]] || fail "$arch: USB installation: exit code $code"
    answers Model=KLM-A100 Port=QXCOM2: BaudRate=19200 Parity=E StopBits=2 Protocol=Xon/Xoff Accept=1
    [[ $arch == win64 ]] && answers Model=KLM-A100 Port=COM2: BaudRate=19200 Parity=E StopBits=2 Protocol=Xon/Xoff Accept=1
    code=$(run_program setup.exe /quiet '/answers=C:\answers.ini' '/log=C:\serial.log')
    [[ $code == 0 || $code == 3010 ]] || fail "$arch: serial installation: exit code $code"
    cat "$KLM_PREFIX/drive_c/usb.log" "$KLM_PREFIX/drive_c/serial.log" >>"$log" 2>/dev/null
    after=$(inventory)
    echo "-- installed:" >>"$log"; echo "$after" >>"$log"
    grep -q 'KLM-A100(U) 1' <<<"$after" || fail "$arch: no USB printer after the quiet installation"
    grep -q 'KLM-A100(S)' <<<"$after" || fail "$arch: no serial printer after the quiet installation"
    ui expect present key64 'SOFTWARE\TARVEKO\PORTNAME' >>"$log" || fail "$arch: no package record for the USB port"

    expect_code "remove everything" 3010 "$(run_program uninstall.exe /quiet /all /norestart '/log=C:\removal.log')"
    cat "$KLM_PREFIX/drive_c/removal.log" >>"$log" 2>/dev/null
    after=$(inventory)
    echo "-- after removal:" >>"$log"; echo "$after" >>"$log"
    [[ $after == "$before" ]] || fail "$arch: uninstall.exe /quiet /all did not leave the spooler as before setup"
    ui expect absent key64 'SOFTWARE\TARVEKO\PORTNAME' >>"$log" || fail "$arch: the USB port record stayed"
    expect_code "nothing left to remove" 0 "$(run_program uninstall.exe /quiet /all)"
}

summary=()
for arch in ${KLM_UNATTENDED_ARCHES-win32 win64}; do
    t0=$(date +%s.%N)
    log=$log_dir/$arch.log
    before_failures=${#failures[@]}
    run_arch "$arch"
    result=passed
    [[ ${#failures[@]} -gt $before_failures ]] && result=FAILED
    summary+=("$(printf '%-6s %-9s %-7s %5s s' "$arch" "$version" "$result" "$(elapsed "$t0")")")
    WINEPREFIX=$KLM_PREFIX timeout -k 5 20 wineserver -k >/dev/null 2>&1
done

printf '%s\n' "${summary[@]}"
klm_log "whole run: $(elapsed "$started") s; logs in $log_dir"
if [[ ${#failures[@]} -gt 0 ]]; then
    printf 'FAILED: %s\n' "${failures[@]}" >&2
    exit 1
fi
