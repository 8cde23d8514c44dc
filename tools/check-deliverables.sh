#!/bin/bash
# Static checks of a Windows build's deliverables, without running them: the
# machine type of the build's architecture, the subsystem and OS version the
# oldest Windows of that architecture loads, the two programs built for the
# GUI subsystem, imports only from DLLs every supported Windows has, the
# DLL's four COM entry points as its only exports, and the DLL's preferred
# base with the relocations that let it load elsewhere. What ships for
# 32-bit Windows runs on a 486 under Windows 98's stock DLLs: no instruction
# beyond the i486 in any executable section, no import of the Unicode (W)
# functions that Windows 9x only stubs, and no TLS directory in the DLL,
# which Windows 95 refuses to load.
#   tools/check-deliverables.sh BUILD_DIR
set -euo pipefail
build=$1
out="$build/out"
arch=$(cat "$build/wine-arch")
case "$arch" in
  win32) format=pei-i386 subsystem="4 0" dll_base=69740000 ;;
  win64) format=pei-x86-64 subsystem="5 2" dll_base=0000000238250000 ;;
  *) echo "unknown architecture '$arch' in $build/wine-arch" >&2; exit 1 ;;
esac
system_dlls="kernel32.dll user32.dll gdi32.dll advapi32.dll ole32.dll oleaut32.dll shell32.dll
comctl32.dll msvcrt.dll"
faults=0
fault() {
  echo "  FAULT $1: $2"
  faults=$((faults + 1))
}

# Instructions the i486 lacks: the Pentium's and the Pentium Pro's (CMOVcc,
# FCMOVcc, FCOMI and kin, CPUID, RDTSC, CMPXCHG8B, UD2, multi-byte NOPs,
# SYSENTER), MMX, SSE and later (by their registers or their names), and
# the random-number instructions.
beyond_i486='^(cmov[a-z]+|fcmov[a-z]+|f(u)?comip?|cpuid|rdtscp?|rdpmc|cmpxchg(8|16)b|'
beyond_i486+='rdrand|rdseed|ud[012]|nop[wlq]|sysenter|sysexit|syscall|sysret|emms|femms|'
beyond_i486+='prefetch[a-z0-9]*|[lsm]fence|clflush[a-z]*|movnti|fxsave|fxrstor|ldmxcsr|stmxcsr|'
beyond_i486+='popcnt|lzcnt|tzcnt|movbe|crc32[bwlq]?)$'
# The ANSI system DLLs whose W functions are stubs on Windows 9x.
ansi_dlls="kernel32.dll user32.dll gdi32.dll advapi32.dll shell32.dll comctl32.dll comdlg32.dll
version.dll"

# instructions_beyond_i486 FILE: one line per such instruction, its mnemonic
# (after any prefixes).
instructions_beyond_i486() {
  i686-w64-mingw32-objdump -d --no-show-raw-insn "$1" |
    awk -F'\t' -v beyond="$beyond_i486" '
      NF >= 2 && $1 ~ /^ *[0-9a-f]+:$/ {
        n = split($2, word, " ")
        i = 1
        while (i < n && word[i] ~ /^(lock|rep[a-z]*|data(16|32)|addr(16|32)|[c-gs]s|notrack|bnd)$/) i++
        if (word[i] ~ beyond || $2 ~ /%[xyz]?mm[0-9]/) print word[i]
      }'
}

# w_imports HEADERS: DLL!function for each W function imported from an ANSI DLL.
w_imports() {
  awk -v dlls="$ansi_dlls" '
    /^\tDLL Name: / { dll = tolower($3); ansi = index(" " dlls " ", " " dll " ") > 0; next }
    /^$/ { ansi = 0 }
    ansi && NF == 3 && $3 ~ /[a-z0-9]W$/ { print dll "!" $3 }' <<<"$1" | tr '\n' ' '
}

for file in quellmark.dll uninstall.exe QuellmarkSetup.exe; do
  path="$out/$file"
  if [ ! -f "$path" ]; then
    fault "$file" "missing from $out"
    continue
  fi
  headers=$(objdump -p "$path")
  field() { awk -v name="$1" '$1 == name { print $2; exit }' <<<"$headers"; }
  got_format=$(sed -n 's/.*file format //p' <<<"$headers" | head -n 1)
  [ "$got_format" = "$format" ] || fault "$file" "format $got_format, expected $format"
  got_subsystem="$(field MajorSubsystemVersion) $(field MinorSubsystemVersion)"
  [ "$got_subsystem" = "$subsystem" ] ||
    fault "$file" "subsystem version ${got_subsystem/ /.}, expected ${subsystem/ /.}"
  # What GNU ld always wrote, and what the oldest supported loaders have seen.
  got_os="$(field MajorOSystemVersion) $(field MinorOSystemVersion)"
  [ "$got_os" = "4 0" ] || fault "$file" "OS version ${got_os/ /.}, expected 4.0"
  if [ "$file" != quellmark.dll ] && [ "$(field Subsystem)" != 00000002 ]; then
    fault "$file" "subsystem $(field Subsystem), expected 2 (Windows GUI)"
  fi
  imports=$(sed -n 's/^\tDLL Name: //p' <<<"$headers" | tr '[:upper:]' '[:lower:]' | sort -u)
  for dll in $imports; do
    grep -qwF -- "$dll" <<<"$system_dlls" || fault "$file" "imports $dll"
  done
  echo "  $file: $got_format, subsystem ${got_subsystem/ /.}, $(wc -c <"$path") bytes," \
    "imports" $imports
  if [ "$arch" = win32 ]; then
    beyond=$(instructions_beyond_i486 "$path")
    count=$(grep -c . <<<"$beyond" || true)
    by_name=$(sort <<<"$beyond" | uniq -c | awk 'NF == 2 { printf "%s%s %d", sep, $2, $1; sep = ", " }')
    wide=$(w_imports "$headers")
    echo "    $count instructions beyond the i486${by_name:+ ($by_name)};" \
      "W imports from ANSI DLLs: ${wide:-none}"
    [ "$count" -eq 0 ] || fault "$file" "$count instructions beyond the i486"
    [ -z "$wide" ] || fault "$file" "imports W functions: $wide"
  fi
done

if [ -f "$out/quellmark.dll" ]; then
  exports=$(objdump -p "$out/quellmark.dll" |
    sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/s/^\s*\[ *[0-9]*\] //p' | sort | tr '\n' ' ')
  expected="DllCanUnloadNow DllGetClassObject DllRegisterServer DllUnregisterServer "
  [ "$exports" = "$expected" ] || fault quellmark.dll "exports ${exports:-nothing}"
  headers=$(objdump -p "$out/quellmark.dll")
  base=$(awk '$1 == "ImageBase" { print $2 }' <<<"$headers")
  [ "$base" = "$dll_base" ] || fault quellmark.dll "image base $base, expected $dll_base"
  # Another DLL at our base moves us: only relocations make that possible.
  relocations=$(awk '$1 == "Entry" && $2 == 5 { print $4 }' <<<"$headers")
  [ -n "$relocations" ] && [ "$((16#$relocations))" -gt 0 ] ||
    fault quellmark.dll "no base relocations"
  tls=$(awk '$1 == "Entry" && $2 == 9 { print $4 }' <<<"$headers")
  if [ -n "$tls" ] && [ "$((16#$tls))" -gt 0 ]; then
    echo "    TLS directory: $((16#$tls)) bytes"
    fault quellmark.dll "has a TLS directory"
  else
    echo "    TLS directory: none"
  fi
fi

if [ "$faults" -gt 0 ]; then
  echo "$faults faults in the deliverables of $build" >&2
  exit 1
fi
echo "  the deliverables of $build pass their static checks"
