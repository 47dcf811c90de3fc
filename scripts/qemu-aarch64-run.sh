#!/usr/bin/env bash
# Runs an arm64 Linux program on this machine under qemu-user, called by
# name so that nothing depends on binfmt being registered. The cross
# compiler's C library folder stands in for the root file system when the
# program loader and libraries are looked up; libraries not there come from
# the arm64 multiarch folders.
set -euo pipefail
exec "${TARVEL_QEMU:-qemu-aarch64}" -L /usr/aarch64-linux-gnu "$@"
