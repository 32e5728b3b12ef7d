# Sourced by the scripts: what this machine can run, and so which build the
# Windows-side and end-to-end tests use.
#   machine_runs_i386       true when the kernel executes 32-bit x86 code (tried, not guessed)
#   wine32_installed        true when 32-bit Wine is installed and starts
#   sentel_test_arch        i686 where 32-bit Wine can run the shipped program, else x86_64
#   sentel_test_folder ROOT the build folder holding the tests of that architecture
#   wine_identity           what the Wine installation is, one line (the prefix records it)
# SENTEL_FORCE_WIN64=1 takes the x86-64 path even where 32-bit code runs.

# Writes a 96-byte static i386 ELF whose only work is exit(42), runs it, and
# reads the code back. Some virtual machines refuse it ("Exec format error").
machine_runs_i386() {
  local dir probe code=0
  # In the project's own folder: a temporary folder may be mounted noexec.
  mkdir -p "${here:?}/build"
  dir=$(mktemp -d "$here/build/i386-probe.XXXXXX") || return 1
  probe=$dir/exit42
  # ELF header (52 bytes), one loadable segment (32 bytes) at 0x08048000, then
  # mov eax,1; mov ebx,42; int 0x80.
  printf '\177ELF\1\1\1\0\0\0\0\0\0\0\0\0' >"$probe"
  printf '\2\0\3\0\1\0\0\0\124\200\4\010\64\0\0\0\0\0\0\0\0\0\0\0\64\0\40\0\1\0\0\0\0\0\0\0' >>"$probe"
  printf '\1\0\0\0\0\0\0\0\0\200\4\010\0\200\4\010\140\0\0\0\140\0\0\0\5\0\0\0\0\020\0\0' >>"$probe"
  printf '\270\1\0\0\0\273\52\0\0\0\315\200' >>"$probe"
  chmod +x "$probe"
  "$probe" 2>/dev/null || code=$?
  rm -rf "$dir"
  [ "$code" -eq 42 ]
}

wine32_installed() {
  [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1
}

sentel_test_arch() {
  if [ "${SENTEL_FORCE_WIN64:-0}" != 1 ] && machine_runs_i386 && wine32_installed; then
    echo i686
  else
    echo x86_64
  fi
}

sentel_test_folder() {  # build root
  case $(sentel_test_arch) in
    i686) echo "$1/win32-tests" ;;
    *) echo "$1/win64" ;;
  esac
}

# The Wine packages and their versions, and which loaders start: a prefix made
# by one installation may not start under another (64-bit-only Wine makes no
# 32-bit system folder, and 32-bit Wine then cannot load kernel32.dll).
wine_identity() {
  local packages loaders=""
  packages=$(dpkg-query -W -f='${Package}:${Architecture}=${Version} ' \
    wine wine32:i386 wine64 libwine:amd64 libwine:i386 2>/dev/null || true)
  wine32_installed && loaders="wine32 "
  [ -x /usr/lib/wine/wine64 ] && /usr/lib/wine/wine64 --version >/dev/null 2>&1 && loaders+="wine64"
  echo "$(wine --version 2>/dev/null || echo none); loaders: ${loaders:-none}; packages: $packages"
}
