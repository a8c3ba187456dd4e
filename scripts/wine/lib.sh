# Shared by the Wine scripts: cached base prefixes, per-run copies, a warm wineserver per
# prefix and a clean-up that runs however the script ends. Source it; do not run it.
#
# Variables (all optional):
#   KLM_BUILD_DIR, KLM_PROGRAMS_DIR, KLM_PACKAGE_OUT, KLM_FIXTURE_BUILD_DIR  the build folders
#   KLM_WINE_CACHE    where the base prefixes are kept   (default ~/.cache/klm-wine)
#   KLM_WINE_RUN_DIR  where per-run copies are made      (default a fresh mktemp -d)
#   KLM_WINE_TIMEOUT  seconds allowed for one wine command (default 300)

export WINEDEBUG=${WINEDEBUG:--all}
KLM_WINE_CACHE=${KLM_WINE_CACHE:-$HOME/.cache/klm-wine}
KLM_WINE_TIMEOUT=${KLM_WINE_TIMEOUT:-300}
# Bump when the way base prefixes are made changes, so cached ones are rebuilt.
KLM_WINE_RECIPE=2

# The folders every Wine script works with (each moved by its variable), and the run's clock.
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build_dir=${KLM_BUILD_DIR:-$repo/build-win32}
programs_dir=${KLM_PROGRAMS_DIR:-$repo/build-programs}
package=${KLM_PACKAGE_OUT:-$repo/build-package}
fixtures=${KLM_FIXTURE_BUILD_DIR:-$repo/build-fixtures}
started=$(date +%s.%N)
elapsed() { awk -v a="$1" -v b="$(date +%s.%N)" 'BEGIN { printf "%.1f", b - a }'; }
# --no-build as a script's first argument skips its build step (lib.sh is sourced without
# arguments, so $1 is the script's).
build=1
[[ ${1:-} == --no-build ]] && build=0

_klm_prefixes=()      # prefixes whose wineserver we started
_klm_run_dir=""
_klm_xvfb_pid=""

klm_log() { printf '[wine %s] %s\n' "$(date +%H:%M:%S)" "$*" >&2; }

# Runs one wine-side command for prefix $1 under a time limit. A hung Wine gets TERM, then KILL.
klm_in_prefix() {
    local prefix=$1; shift
    WINEPREFIX=$prefix timeout -k 10 "$KLM_WINE_TIMEOUT" "$@"
}

klm_cleanup() {
    local prefix
    for prefix in "${_klm_prefixes[@]}"; do
        WINEPREFIX=$prefix timeout -k 5 20 wineserver -k >/dev/null 2>&1 || true
    done
    _klm_prefixes=()
    if [[ -n $_klm_xvfb_pid ]]; then
        kill "$_klm_xvfb_pid" 2>/dev/null || true
        wait "$_klm_xvfb_pid" 2>/dev/null || true
        _klm_xvfb_pid=""
    fi
    if [[ -n $_klm_run_dir && -z ${KLM_WINE_KEEP:-} ]]; then
        rm -rf "$_klm_run_dir"
    fi
}

klm_install_trap() {
    trap klm_cleanup EXIT
    trap 'exit 130' INT
    trap 'exit 143' TERM
}

# klm_base_prefix win32|win64: sets KLM_BASE to the cached base prefix, creating it the
# first time. Creation is locked so parallel runs build it once. (Results come back in
# variables, not printed: a wineserver started inside $(...) would keep the capture open.)
klm_base_prefix() {
    local arch=$1
    KLM_BASE=$KLM_WINE_CACHE/$arch
    mkdir -p "$KLM_WINE_CACHE"
    (
        flock 9
        base=$KLM_BASE
        if [[ $(cat "$base/.klm-ready" 2>/dev/null) == "$KLM_WINE_RECIPE" ]]; then exit 0; fi
        work=$base.creating
        rm -rf "$work" "$base"
        klm_log "creating $arch base prefix in $base (once)"
        # No Mono or Gecko: nothing we test needs them and their installers would prompt.
        if ! WINEARCH=$arch WINEDLLOVERRIDES="mscoree,mshtml=" \
                klm_in_prefix "$work" wine wineboot -i </dev/null >/dev/null 2>&1; then
            klm_log "wineboot failed for $arch"
            WINEPREFIX=$work timeout -k 5 20 wineserver -k >/dev/null 2>&1
            exit 1
        fi
        # A crash must end the program instead of waiting on a dialog nobody will click.
        # Windows live in a virtual desktop: without a window manager every hide or destroy
        # would cost about two seconds, and screenshots would show no frames.
        local setting
        for setting in 'HKCU\Software\Wine\WineDbg /v ShowCrashDialog /t REG_DWORD /d 0' \
                       'HKCU\Software\Wine\Explorer /v Desktop /t REG_SZ /d Default' \
                       'HKCU\Software\Wine\Explorer\Desktops /v Default /t REG_SZ /d 1024x768'; do
            # shellcheck disable=SC2086 # the setting is split into reg's arguments on purpose
            if ! klm_in_prefix "$work" wine reg add $setting /f </dev/null >/dev/null 2>&1; then
                klm_log "reg add $setting failed in $work"
                WINEPREFIX=$work timeout -k 5 20 wineserver -k >/dev/null 2>&1
                exit 1
            fi
        done
        # Let the registry reach the disk before the prefix is copied.
        WINEPREFIX=$work timeout -k 5 60 wineserver -w
        mv "$work" "$base"
        echo "$KLM_WINE_RECIPE" >"$base/.klm-ready"
    ) 9>"$KLM_WINE_CACHE/.lock-$arch"
}

# klm_run_prefix win32|win64: copies the base prefix for this run, starts a persistent
# wineserver for it, starts Wine's services once, and sets KLM_PREFIX to the copy.
klm_run_prefix() {
    local arch=$1
    klm_base_prefix "$arch" || return 1
    if [[ -z $_klm_run_dir ]]; then
        _klm_run_dir=${KLM_WINE_RUN_DIR:-$(mktemp -d "${TMPDIR:-/tmp}/klm-wine.XXXXXX")}
        mkdir -p "$_klm_run_dir"
    fi
    KLM_PREFIX=$_klm_run_dir/$arch
    rm -rf "$KLM_PREFIX"
    cp -a "$KLM_BASE" "$KLM_PREFIX" || return 1
    _klm_prefixes+=("$KLM_PREFIX")
    WINEPREFIX=$KLM_PREFIX wineserver -p </dev/null >/dev/null 2>&1
    # The first program starts Wine's services, which inherit its output: give it none, so
    # a later program's output pipe is not held open by them.
    klm_in_prefix "$KLM_PREFIX" wine cmd.exe /c exit </dev/null >/dev/null 2>&1
}

# klm_set_version PREFIX NAME: the Windows version the prefix reports (win2k, winxp,
# winxp64, win2003, vista, win2008, win7, win2008r2, ...).
klm_set_version() {
    local prefix=$1 name=$2
    klm_in_prefix "$prefix" wine winecfg -v "$name" </dev/null >/dev/null 2>&1
}

# Starts a private X server for programs that create windows, unless DISPLAY is set.
klm_start_xvfb() {
    [[ -n ${DISPLAY:-} ]] && return 0
    local n
    for n in $(seq 90 140); do
        [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]] && continue
        Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
        _klm_xvfb_pid=$!
        local i
        for i in $(seq 1 50); do
            if [[ -e /tmp/.X11-unix/X$n ]]; then export DISPLAY=":$n"; return 0; fi
            kill -0 "$_klm_xvfb_pid" 2>/dev/null || break
            sleep 0.1
        done
        kill "$_klm_xvfb_pid" 2>/dev/null; wait "$_klm_xvfb_pid" 2>/dev/null
        _klm_xvfb_pid=""
    done
    klm_log "could not start Xvfb"
    return 1
}
