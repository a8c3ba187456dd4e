#!/usr/bin/env bash
# Installs the Debian packages a build needs, only those missing.
#   install-deps.sh native    compilers, CMake, GoogleTest
#   install-deps.sh fuzz      clang with its sanitizer and fuzzer runtimes
#   install-deps.sh windows   mingw-w64 cross compilers, Wine (32- and 64-bit), Xvfb, fonts
set -euo pipefail

want=()
for group in "$@"; do
  case "$group" in
    native)  want+=(g++ make cmake googletest libgtest-dev libgmock-dev) ;;
    fuzz)    want+=(clang libclang-rt-14-dev) ;;
    windows) want+=(g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-tools wine wine32:i386 wine64
                    xvfb imagemagick fonts-wqy-zenhei locales) ;;
    *) echo "unknown group: $group" >&2; exit 2 ;;
  esac
done

missing=()
for pkg in "${want[@]}"; do
  dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
if printf '%s\n' "${missing[@]}" | grep -q ':i386$' && ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
echo "Installing: ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}" >/dev/null
