# Sourced by scripts/test inside its Wine session: packs the build the tests run
# as the download is packed, checks the archive's contents, and runs end-to-end
# tests against the program, the German module and the report tool started
# from the unpacked copy.
check_release() {  # build root, architecture (i686 or x86_64), test build folder
  local root=$1 arch=$2 testBuild=$3 zip_file unpacked listing expected
  zip_file=$("$here/scripts/package" "$arch" | tail -n 1)
  listing=$(unzip -Z1 "$zip_file" | LC_ALL=C sort | tr '\n' ' ')
  expected="tervo/ tervo/LICENSE.txt tervo/sentel-report.exe tervo/sentel.exe tervo/sentel1031.dll"
  expected+=" tervo/user-guide.txt "
  if [ "$listing" != "$expected" ]; then
    echo "release: the archive holds '$listing', expected '$expected'" >&2
    return 1
  fi
  unpacked=$root/release/unpacked
  rm -rf "$unpacked"
  mkdir -p "$unpacked"
  unzip -q "$zip_file" -d "$unpacked"
  local tests='ExitButtonEndsWith1008|LanguageValueSelectsTheModuleBesideTheProgram'
  tests+='|ReportOfARunSavedWithTheGermanModule'
  SENTEL_PROGRAM_FOLDER=$(winepath -w "$unpacked/tervo") \
    ctest --test-dir "$testBuild" --output-on-failure -R "^E2e\.($tests)\$"
}
