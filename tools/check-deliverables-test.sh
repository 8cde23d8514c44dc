#!/bin/bash
# Shows that tools/check-deliverables.sh fails what it must: the build's own
# programs pass, beside a DLL built the way the toolchain builds by default
# (for the Pentium Pro, with the runtime's TLS directory) that also imports
# a W function.
#   tools/check-deliverables-test.sh BUILD_DIR
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/out"
cp "$build/wine-arch" "$work/"
cp "$build/out/uninstall.exe" "$build/out/QuellmarkSetup.exe" "$work/out/"
cat >"$work/faulty.c" <<'EOF'
#include <windows.h>
__declspec(dllexport) int Pick(int a, int b, int which) {
    return which ? a : b;
}
__declspec(dllexport) HMODULE Self(void) {
    return GetModuleHandleW(NULL);
}
EOF
i686-w64-mingw32-gcc -march=pentiumpro -O2 -shared -o "$work/out/quellmark.dll" "$work/faulty.c"
status=0
report=$(tools/check-deliverables.sh "$work" 2>&1) || status=$?
failed=0
expect() {
  if ! grep -qE -- "$1" <<<"$report"; then
    echo "the check did not say: $1" >&2
    failed=1
  fi
}
refuse() {
  if grep -qE -- "$1" <<<"$report"; then
    echo "the check said: $1" >&2
    failed=1
  fi
}
[ "$status" -eq 1 ] || { echo "the check exited with $status, not 1" >&2; failed=1; }
expect 'FAULT quellmark\.dll: [1-9][0-9]* instructions beyond the i486'
expect 'cmov[a-z]+ [1-9]'
expect 'FAULT quellmark\.dll: imports W functions: kernel32\.dll!GetModuleHandleW'
expect 'FAULT quellmark\.dll: has a TLS directory'
refuse 'FAULT (uninstall|QuellmarkSetup)\.exe: .*(i486|W functions)'
if [ "$failed" -ne 0 ]; then
  echo "$report" >&2
  exit 1
fi
echo "the check fails a DLL with CMOV, a W import and a TLS directory, and passes the build's programs"
