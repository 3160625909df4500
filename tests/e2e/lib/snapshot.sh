# Listings of the prefix taken before and after a scenario's runs, and
# their comparison: what an installation and its uninstallation leave
# behind shows as lines of one listing missing from the other.

# e2e_snapshot_drive_c: every directory and file on C: outside the media
# folders (the scenarios' own copies), one a line, sorted:
# "dir ./PATH" or "file ./PATH SIZE MD5".
e2e_snapshot_drive_c() {
  (cd "$E2E_DRIVE_C" && {
    find . -mindepth 1 -path ./media -prune -o -type d -printf 'dir %p\n'
    awk 'FNR == NR { sum[substr($0, 35)] = $1; next }
      { print "file " substr($0, length($1) + 2) " " $1 " " sum[substr($0, length($1) + 2)] }' \
      <(find . -path ./media -prune -o -type f -print0 | xargs -0 -r md5sum) \
      <(find . -path ./media -prune -o -type f -printf '%s %p\n')
  } | LC_ALL=C sort)
}

# e2e_snapshot_registry KEY...: each key and subkey as the 32-bit programs
# see them, one a line, then each value on a line of its own behind its
# key's name: "KEY    NAME    TYPE    DATA".  A key that is missing gives
# nothing.
e2e_snapshot_registry() {
  local key out
  for key; do
    out=$(wine reg query "$key" /s /reg:32 2>/dev/null) &&
      printf '%s\n' "$out" | tr -d '\r' |
      awk '/^$/ { next } /^    / { print key $0; next } { key = $0; print }'
  done
}

# e2e_expect_snapshot WHAT BEFORE AFTER [ALLOWED_LINE...]: the two listings
# (files) are the same, apart from the lines ALLOWED_LINE that AFTER may
# have in addition.  Every other line in one and not the other is
# reported.
e2e_expect_snapshot() {
  local what=$1 before=$2 after=$3 line gone="" added=""
  shift 3
  while IFS= read -r line; do
    case $line in
      '< '*) gone+=" [${line#< }]" ;;
      '> '*)
        line=${line#> }
        printf '%s\n' "$@" | grep -qxF -- "$line" || added+=" [$line]" ;;
    esac
  done < <(diff "$before" "$after")
  [ -z "$gone" ] || e2e_fail "$what: gone since the first listing:$gone"
  [ -z "$added" ] || e2e_fail "$what: left behind:$added"
}
