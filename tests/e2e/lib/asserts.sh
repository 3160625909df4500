# What a scenario checks on the prefix afterwards.  Each check reports a
# failure through e2e_fail and carries on, so one run shows every mismatch.

e2e_fail() {
  echo "   FAIL [$E2E_SCENARIO]: $*" >&2
  E2E_FAILED=1
}

# e2e_expect_dir WINDOWS_PATH / e2e_expect_no_dir WINDOWS_PATH (C: only).
e2e_linux_path() {
  local path=${1#[Cc]:}
  path=${path//\\//}
  printf '%s%s' "$E2E_DRIVE_C" "$path"
}

e2e_expect_dir() {
  [ -d "$(e2e_linux_path "$1")" ] || e2e_fail "directory $1 does not exist"
}

e2e_expect_no_dir() {
  [ ! -e "$(e2e_linux_path "$1")" ] || e2e_fail "directory $1 exists"
}

# e2e_ini_value FILE SECTION KEY: the value in C:\windows\FILE, or nothing
# (status 1) when the file, section or key is missing.  Sections and keys
# match without regard to case, as the profile functions do.
e2e_ini_value() {
  local file=$E2E_DRIVE_C/windows/$1
  [ -f "$file" ] || return 1
  awk -v section="$2" -v key="$3" '
    { sub(/\r$/, "") }
    /^\[/ { inside = tolower($0) == "[" tolower(section) "]"; next }
    inside {
      eq = index($0, "=")
      if (eq > 0 && tolower(substr($0, 1, eq - 1)) == tolower(key)) {
        print substr($0, eq + 1); found = 1; exit
      }
    }
    END { exit !found }' "$file"
}

# e2e_expect_ini FILE SECTION KEY VALUE; VALUE "-" means: no such entry.
e2e_expect_ini() {
  local got
  if got=$(e2e_ini_value "$1" "$2" "$3"); then
    [ "$4" != - ] || { e2e_fail "ini $1 [$2] $3 is \"$got\", expected no entry"; return; }
    [ "$got" = "$4" ] || e2e_fail "ini $1 [$2] $3 is \"$got\", expected \"$4\""
  else
    [ "$4" = - ] || e2e_fail "ini $1 [$2] $3 is missing, expected \"$4\""
  fi
}

# e2e_reg_value KEY NAME: a REG_SZ value as the 32-bit programs see it, or
# nothing (status 1) when the key or value is missing.
e2e_reg_value() {
  local out
  out=$(wine reg query "$1" /v "$2" /reg:32 2>/dev/null) || return 1
  printf '%s\n' "$out" | tr -d '\r' | awk -v name="$2" '
    {
      lead = "    " name "    REG_SZ    "
      if (tolower(substr($0, 1, length(lead))) == tolower(lead)) {
        print substr($0, length(lead) + 1); found = 1; exit
      }
    }
    END { exit !found }'
}

# e2e_set_reg KEY NAME DATA: a REG_SZ value placed before a run.
e2e_set_reg() {
  wine reg add "$1" /v "$2" /d "$3" /f /reg:32 >/dev/null 2>&1 || e2e_fail "cannot set $1 $2"
}

# e2e_expect_reg KEY NAME DATA; DATA "-" means: no such value.
e2e_expect_reg() {
  local got
  if got=$(e2e_reg_value "$1" "$2"); then
    [ "$3" != - ] || { e2e_fail "registry $1 $2 is \"$got\", expected no value"; return; }
    [ "$got" = "$3" ] || e2e_fail "registry $1 $2 is \"$got\", expected \"$3\""
  else
    [ "$3" = - ] || e2e_fail "registry $1 $2 is missing, expected \"$3\""
  fi
}

# e2e_reg_dword KEY NAME: a REG_DWORD value (in decimal) as the 32-bit
# programs see it, or nothing (status 1) when the key or value is missing.
e2e_reg_dword() {
  local out
  out=$(wine reg query "$1" /v "$2" /reg:32 2>/dev/null) || return 1
  out=$(printf '%s\n' "$out" | tr -d '\r' | awk -v name="$2" '
    {
      lead = "    " name "    REG_DWORD    "
      if (tolower(substr($0, 1, length(lead))) == tolower(lead)) {
        print substr($0, length(lead) + 1); found = 1; exit
      }
    }
    END { exit !found }') || return 1
  printf '%d\n' "$out"
}

# e2e_expect_reg_dword KEY NAME NUMBER; NUMBER "-" means: no such value.
e2e_expect_reg_dword() {
  local got
  if got=$(e2e_reg_dword "$1" "$2"); then
    [ "$3" != - ] || { e2e_fail "registry $1 $2 is $got, expected no value"; return; }
    [ "$got" = "$3" ] || e2e_fail "registry $1 $2 is $got, expected $3"
  else
    [ "$3" = - ] || e2e_fail "registry $1 $2 is missing, expected $3"
  fi
}

# e2e_expect_same LINUX_FILE EXPECTED_CONTENTS_FILE: byte for byte.
e2e_expect_same() {
  if [ ! -f "$1" ]; then
    e2e_fail "${1#"$E2E_DRIVE_C/"} does not exist"
  elif ! cmp -s "$1" "$2"; then
    e2e_fail "${1#"$E2E_DRIVE_C/"} differs from $(basename "$2")"
  fi
}

# e2e_expect_no_file LINUX_FILE
e2e_expect_no_file() {
  [ ! -e "$1" ] || e2e_fail "${1#"$E2E_DRIVE_C/"} exists"
}
