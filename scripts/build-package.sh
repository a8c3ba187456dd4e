#!/usr/bin/env bash
# Builds the stand-in binaries (tests/fixtures) for both processor widths and assembles a
# complete driver package from them and the data-only sample package in package/:
#
#   OUT/DRVCONFIG, language, language-zh, License.txt   copied from package/
#   OUT/RuZuvUzu.dll                                     USB interface library (setup loads it
#                                                        from its own folder; 32-bit like setup)
#   OUT/W32/                                             32-bit monitor, processor and driver files
#   OUT/W64/                                             the same for 64-bit Windows (see below)
#   OUT/USBDRV/USBDriver/, USBDriver_x64/                USB driver installer, VORUZA.sys, VORUZA.INF
#
#   scripts/build-package.sh [--for-wine|--real] [--no-build] [OUT]     (OUT: build-package)
#
# --for-wine (default): W64 carries 32-bit monitor, processor and driver DLLs. Wine runs the
#   spooler inside the calling program, and setup is a 32-bit program, so in a 64-bit Wine
#   prefix those DLLs are loaded into a 32-bit process.
# --real: W64 carries 64-bit builds, as a package for real 64-bit Windows must (its spooler
#   is a 64-bit service).
# The file names come from the package's own configuration: every file a model file
# (DRVCONFIG/setup_*.ini; *_64.ini for W64) names, and the monitor DLLs of setup.ini.
#
# Variables: KLM_FIXTURE_BUILD_DIR (default build-fixtures; one subfolder per width).
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
repo=$(cd "$here/.." && pwd)

flavour=wine
build=1
out=""
while [[ $# -gt 0 ]]; do
    case $1 in
        --for-wine) flavour=wine ;;
        --real) flavour=real ;;
        --no-build) build=0 ;;
        -h|--help) sed -n '2,24p' "$0"; exit 0 ;;
        -*) echo "unknown option: $1" >&2; exit 2 ;;
        *) [[ -z $out ]] || { echo "one output folder only" >&2; exit 2; }; out=$1 ;;
    esac
    shift
done
out=${out:-$repo/build-package}
fixtures=${KLM_FIXTURE_BUILD_DIR:-$repo/build-fixtures}
jobs=$(nproc 2>/dev/null || echo 2)

log() { printf '[package] %s\n' "$*" >&2; }

if [[ $build == 1 ]]; then
    for arch in i686 x86_64; do
        dir=$fixtures/$arch
        if [[ ! -f $dir/CMakeCache.txt ]]; then
            # The win32 thread model: nothing in the fixtures needs more, and the DLLs then
            # import only what Windows 2000 has.
            cmake -S "$repo/tests/fixtures" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-$arch.cmake" \
                -DKLM_MINGW_THREADS=win32 -DCMAKE_BUILD_TYPE=Release >/dev/null
        fi
        log "building fixtures ($arch)"
        cmake --build "$dir" -j "$jobs" >/dev/null || {
            log "build failed; run: cmake --build $dir"; exit 1; }
    done
fi
bin32=$fixtures/i686/out
bin64=$fixtures/x86_64/out
for f in "$bin32/klmcom.dll" "$bin64/klmcom.dll"; do
    [[ -f $f ]] || { log "missing $f (build the fixtures first)"; exit 1; }
done

# ---------------------------------------------------------------- file names from the package

# values KEY_REGEX FILE...: the values of matching keys, without those that mean "no file"
# (empty or beginning with 0), one a line, duplicates (ignoring case) removed.
values() {
    local keys=$1; shift
    awk -F= -v keys="^($keys)\$" '
        { sub(/\r$/, ""); k = $1; sub(/^[ \t]+/, "", k); sub(/[ \t]+$/, "", k) }
        k ~ keys {
            v = substr($0, index($0, "=") + 1); gsub(/^[ \t]+|[ \t]+$/, "", v)
            if (v != "" && substr(v, 1, 1) != "0" && !seen[toupper(v)]++) print v
        }' "$@"
}

models32=()
models64=()
for f in "$repo"/package/DRVCONFIG/setup_*.ini; do
    case $f in *_64.ini) models64+=("$f") ;; *) models32+=("$f") ;; esac
done
[[ ${#models32[@]} -gt 0 && ${#models64[@]} -gt 0 ]] || { log "no model files in package/DRVCONFIG"; exit 1; }

# ---------------------------------------------------------------- generated data files

crlf() { printf '%s\r\n' "$@"; }

# data_file PATH: a small stand-in for a driver data file, by its extension.
data_file() {
    local path=$1 name
    name=$(basename "$path")
    case ${name^^} in
        *.GPD)
            crlf "*% Printer description of the test package: $name" \
                 '*GPDSpecVersion: "1.0"' \
                 "*GPDFileName: \"$name\"" \
                 "*ModelName: \"${name%.*}\"" \
                 '*MasterUnits: PAIR(203, 203)' \
                 '*PrinterType: SERIAL' >"$path" ;;
        *.INI)
            crlf "[${name%.*}]" 'Version=1' 'Dpi=203' 'PaperWidth=80' >"$path" ;;
        *.HLP)
            # The help file signature, then text: enough for a file-type check.
            { printf '?_\003\000'; crlf "Help of the test package: $name"; } >"$path" ;;
        *.TTF)
            # An sfnt header with no tables.
            printf '\000\001\000\000\000\000\000\000\000\000\000\000' >"$path" ;;
        *)
            { printf 'KLM\000'; crlf "Printer data of the test package: $name"; } >"$path" ;;
    esac
}

# ---------------------------------------------------------------- assembling

# place SRC DIR NAME: copies a build output under the name the package uses.
place() { cp "$1" "$2/$3"; }

# files_for DIR BIN WIDTH MODEL_FILES...: fills a W32 or W64 folder.
files_for() {
    local dir=$1 bin=$2 width=$3; shift 3
    local name
    mkdir -p "$dir"

    # Port monitors and their user-interface DLLs as setup.ini names them; the Windows 98
    # names only for 32 bits.
    local sections='COMMON-MONITOR\.(NT|2K|XP|2003|Vista|2008|Win7)'
    [[ $width == 32 ]] && sections='COMMON-MONITOR\.[A-Za-z0-9]+'
    local monitor_ini
    monitor_ini=$(SECTIONS=$sections awk '
        { sub(/\r$/, "") } /^\[/ { keep = ($0 ~ ("^\\[" ENVIRON["SECTIONS"] "\\]")) } keep' \
        "$repo/package/DRVCONFIG/setup.ini")
    while read -r name; do place "$bin/klmcom.dll" "$dir" "$name"; done \
        < <(values 'COMMONitorPDLLName' <(echo "$monitor_ini"))
    while read -r name; do place "$bin/klmcomui.dll" "$dir" "$name"; done \
        < <(values 'COMMONitorPUIDLLName' <(echo "$monitor_ini"))
    while read -r name; do place "$bin/klmusb.dll" "$dir" "$name"; done \
        < <(values 'USBMONitorPDLLName' <(echo "$monitor_ini"))
    while read -r name; do place "$bin/klmusbui.dll" "$dir" "$name"; done \
        < <(values 'USBMONitorPUIDLLName' <(echo "$monitor_ini"))
    while read -r name; do place "$bin/klmlm.dll" "$dir" "$name"; done \
        < <(values 'USBLMONitorDLLName' <(echo "$monitor_ini"))

    # The universal driver's shared files, which setup stages for every model built on it.
    place "$bin/driverui.dll" "$dir" UNIDRVUI.DLL
    place "$bin/driver.dll" "$dir" UNIDRV.DLL
    place "$bin/plaindll.dll" "$dir" UNIRES.DLL
    data_file "$dir/UNIDRV.HLP"
    data_file "$dir/TTFSUB.GPD"
    data_file "$dir/STDNAMES.GPD"
    if [[ $width == 32 ]]; then
        # Windows 98 (ICONLIB, DMCOLOR) and the system DLLs setup adds to a 32-bit Windows XP.
        for name in ICONLIB.DLL DMCOLOR.DLL srclient.dll framedyn.dll newdev.dll; do
            place "$bin/plaindll.dll" "$dir" "$name"
        done
    fi

    # What the model files name. A driver file that is also a configuration file (the
    # universal driver of the Windows 98 models) gets the build that is both.
    local drivers configs processors
    drivers=$(values '(GDI|STD)DriverPath' "$@")
    configs=$(values '(GDI|STD)ConfigFile' "$@")
    processors=$(values '(GDI|STD)ProcessorDLLName' "$@")
    while read -r name; do
        [[ -n $name ]] || continue
        if grep -qixF -- "$name" <<<"$processors"; then
            place "$bin/klmproc.dll" "$dir" "$name"
        elif grep -qixF -- "$name" <<<"$drivers"; then
            place "$bin/driver.dll" "$dir" "$name"
        elif grep -qixF -- "$name" <<<"$configs"; then
            place "$bin/driverui.dll" "$dir" "$name"
        elif [[ ${name^^} == *.DLL ]]; then
            place "$bin/plaindll.dll" "$dir" "$name"
        else
            data_file "$dir/$name"
        fi
    done < <(values '(GDI|STD)(DriverPath|DataFile|ConfigFile|HelpFile|DataFileDLLName|DataOemuiDLL|DataOemuniDLL|DataOemuniini|ProcessorDLLName)|ControlFontFile|USBInternalID' "$@")
    [[ -f $dir/klmproc.dll ]] || place "$bin/klmproc.dll" "$dir" klmproc.dll
}

log "assembling $out ($flavour)"
rm -rf "$out"
mkdir -p "$out"
cp -a "$repo/package/." "$out/"
place "$bin32/RuZuvUzu.dll" "$out" RuZuvUzu.dll

files_for "$out/W32" "$bin32" 32 "${models32[@]}"
if [[ $flavour == wine ]]; then
    files_for "$out/W64" "$bin32" 64 "${models64[@]}"
else
    files_for "$out/W64" "$bin64" 64 "${models64[@]}"
fi

# The USB driver installer of each width: a 64-bit Windows runs the x64 one, which puts the
# driver into the real system32\drivers.
for pair in "USBDriver:$bin32" "USBDriver_x64:$bin64"; do
    dir=$out/USBDRV/${pair%%:*}
    bin=${pair#*:}
    mkdir -p "$dir"
    place "$bin/Install.exe" "$dir" Install.exe
    place "$bin/VORUZA.sys" "$dir" VORUZA.sys
    place "$bin/VORUZA.INF" "$dir" VORUZA.INF
done

log "done: $(find "$out" -type f | wc -l) files in $out"
