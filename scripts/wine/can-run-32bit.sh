#!/usr/bin/env bash
# Exits 0 when this machine can run the 32-bit Windows programs under Wine. Some virtual
# machines run only 64-bit user code (the kernel's IA-32 emulation is off): Wine's 32-bit
# loader then fails with "Exec format error" and no 32-bit program, ours included, can
# start. Prints the reason when it cannot.
loader=/usr/lib/wine/wine
if [[ ! -x $loader ]]; then
    echo "Wine's 32-bit loader ($loader) is not installed"
    exit 1
fi
if ! out=$("$loader" --version 2>&1); then
    echo "this machine cannot execute 32-bit x86 programs ($loader: ${out##*: }); its kernel runs 64-bit user code only"
    exit 1
fi
exit 0
