#!/usr/bin/env bash
# The tool builds on Windows and Linux: headers of one platform (POSIX, Linux, Win32)
# may only be included inside a preprocessor conditional.
#   check_portable_sources.sh SOURCE_DIR...
set -euo pipefail
status=0
while IFS= read -r -d '' file; do
  awk -v file="$file" '
    /^[ \t]*#[ \t]*if/    { depth++ }
    /^[ \t]*#[ \t]*endif/ { depth-- }
    /^[ \t]*#[ \t]*include[ \t]*<(unistd|dlfcn|pthread|fcntl|termios|poll|libudev|windows|winsock2)\.h>/ ||
    /^[ \t]*#[ \t]*include[ \t]*<(sys|linux)\// {
      if (depth == 0) { printf "%s:%d: platform header outside #if: %s\n", file, FNR, $0; bad = 1 }
    }
    END { exit bad }
  ' "$file" || status=1
done < <(find "$@" \( -name '*.cpp' -o -name '*.h' \) -print0)
[ $status -eq 0 ] && echo "OK: platform headers are behind conditionals"
exit $status
