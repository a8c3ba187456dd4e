#!/usr/bin/env bash
# The main job: builds setup.exe and uninstall.exe as they ship, the sample driver package
# and the window driver, makes a fresh Wine prefix with the parts a Windows has and Wine
# lacks, and runs the setup wizard on the sample package, with one USB printer (identifier
# 1) connected through the stand-in USB library.
#   - With a usable display ($DISPLAY): the wizard is yours to click through.
#   - Without one: it runs under Xvfb and is driven through a typical installation on that
#     USB printer; a screenshot of every page and message goes to build-programs/demo-shots/.
# The printers, drivers, monitors and ports of the prefix are listed before and after.
#
#   ./run-demo.sh
#
# Variables: KLM_DEMO_ARCH (win32 or win64, default win32), KLM_DEMO_VERSION (default win7;
# win10 shows the wizard on Windows 10),
# KLM_DEMO_BUILD_DIR (default build-programs), KLM_PACKAGE_OUT (default build-package).
set -euo pipefail
cd "$(dirname "$0")"
repo=$PWD
bash scripts/install-deps.sh native windows
if ! why=$(bash scripts/wine/can-run-32bit.sh); then
    echo "The demo runs the 32-bit setup.exe under Wine, which this machine cannot do: $why." >&2
    echo "Showing the sample package on the simulated machine instead: the start-up decisions" >&2
    echo "on every Windows, then the plan of a typical USB installation (drvpkg plan)." >&2
    cmake -S . -B build -DCMAKE_BUILD_TYPE=Debug >/dev/null
    cmake --build build -j"$(nproc)" --target startup_demo drvpkg >/dev/null
    build/src/startup_demo package
    bash scripts/build-package.sh --real "${KLM_PACKAGE_OUT:-$repo/build-package}" >/dev/null
    # drvpkg names the machines as Wine does, without "win": win7 is 7, winxp xp.
    demo_version=${KLM_DEMO_VERSION:-win7}
    demo_arch=${KLM_DEMO_ARCH:-win32}
    echo
    exec build/src/drvpkg plan "${KLM_PACKAGE_OUT:-$repo/build-package}" --windows "${demo_version#win}-${demo_arch#win}" \
        --model KLM-A100 --port USB_KLM-A100_1
fi

build=${KLM_DEMO_BUILD_DIR:-$repo/build-programs}
package=${KLM_PACKAGE_OUT:-$repo/build-package}
echo "== building the programs, the sample package and the window driver"
bash scripts/build-programs.sh "$build"
cmake --build "$build" -j"$(nproc)" --target setup_driver >/dev/null
bash scripts/build-package.sh --for-wine "$package" >/dev/null

set +e
# shellcheck source=scripts/wine/lib.sh
source scripts/wine/lib.sh
# shellcheck source=scripts/wine/install-fixtures.sh
source scripts/wine/install-fixtures.sh
klm_install_trap
arch=${KLM_DEMO_ARCH:-win32}
version=${KLM_DEMO_VERSION:-win7}

interactive=0
if [[ -n ${DISPLAY:-} ]] && timeout 5 import -window root -crop 1x1+0+0 null: >/dev/null 2>&1; then
    interactive=1
else
    unset DISPLAY
    klm_start_xvfb || exit 1
fi

echo "== a fresh $arch Wine prefix reporting $version"
klm_run_prefix "$arch" && klm_set_version "$KLM_PREFIX" "$version" &&
    klm_prepare_windows_parts "$KLM_PREFIX" "$arch" "$package" || { echo "the prefix could not be made" >&2; exit 1; }
pkg=$KLM_PREFIX/drive_c/pkg
rm -rf "$pkg" "$KLM_PREFIX/drive_c/tools"
cp -a "$package" "$pkg" && cp "$build/src/setup.exe" "$build/src/uninstall.exe" "$pkg/" &&
    mkdir -p "$KLM_PREFIX/drive_c/tools" && cp "$build/tests/wine-setup/setup_driver.exe" "$KLM_PREFIX/drive_c/tools/" ||
    exit 1
# One printer on the USB bus, reporting identifier 1.
printf 'count=1\r\nbcd=0\r\n' >"$pkg/RuZuvUzu.state"

drive() {
    (cd "$KLM_PREFIX/drive_c/tools" && KLM_WINE_TIMEOUT=180 klm_in_prefix "$KLM_PREFIX" \
        wine setup_driver.exe --package 'C:\pkg' "$@" </dev/null) | tr -d '\r'
    return "${PIPESTATUS[0]}"
}
inventory() {
    echo "== $1"
    drive inventory | sed 's/^/   /'
}

inventory "before: printers, drivers, monitors, ports, default printer"

if [[ $interactive == 1 ]]; then
    echo "== the wizard is on $DISPLAY (in a Wine desktop window); install, cancel or close it to go on"
    (cd "$pkg" && klm_in_prefix "$KLM_PREFIX" wine setup.exe </dev/null >/dev/null 2>&1)
    inventory "after"
    exit 0
fi

shots=$build/demo-shots
mkdir -p "$shots"
rm -f "$shots"/*.png
step=0
# say TEXT; then the driver's commands; then a screenshot named after TEXT.
show() {
    local text=$1; shift
    step=$((step + 1))
    printf '   %d. %s\n' "$step" "$text"
    if ! drive "$@" >"$shots/driver.log"; then
        sed 's/^/      /' "$shots/driver.log" >&2
        echo "the demo installation stopped at step $step" >&2
        exit 1
    fi
    sleep 0.4
    import -window root "$shots/$step-${text// /-}.png"
}

echo "== setup.exe on the sample package, driven under Xvfb"
(cd "$pkg" && exec env WINEPREFIX="$KLM_PREFIX" timeout -k 10 300 wine setup.exe </dev/null >/dev/null 2>&1) &
setup_pid=$!
show "agreement" wait-frame 60 \; wait-page license 10 \; click 1057
show "printer type" click 1 \; wait-page type 10 \; click 1019 \; select 1030 KLM-A100
show "install mode" click 1 \; wait-page mode 10
show "operating system" click 1 \; wait-page os 10
show "port" click 1 \; wait-page port 20 \; expect-selected 1049 USB_KLM-A100_1
show "installing" click 1 \; wait-progress 60
show "done" wait-box Message/IDS_INF_USBRESTART 120
drive answer Message/IDS_INF_USBRESTART 1 5 \; wait-gone 20 >/dev/null || exit 1
wait "$setup_pid"
inventory "after"
echo "== screenshots in $shots"
