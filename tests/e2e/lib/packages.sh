# Packages for the scenarios, built with the host's `velmora pack` from the
# manifests in manifests/ (one NAME.toml each, beside the answer files some
# quiet runs take).

E2E_MANIFESTS=$E2E_HERE/manifests

# e2e_package_dir NAME: an empty folder for the manifest and its source
# files.  Sets PACKAGE.
e2e_package_dir() {
  PACKAGE=$E2E_PACKAGES/$1
  rm -rf "$PACKAGE"
  mkdir -p "$PACKAGE/out"
}

# e2e_pack [PACK OPTIONS...] < MANIFEST: packs the manifest read from stdin
# into $PACKAGE/out (media files velmor.1, velmor.2, ...).
e2e_pack() {
  cat >"$PACKAGE/manifest.toml"
  "$E2E_VELMORA" pack --no-setup "$PACKAGE/manifest.toml" -o "$PACKAGE/out" "$@" \
    >>"$E2E_LOGS/$E2E_SCENARIO-pack.log" 2>&1 || {
    e2e_fail "velmora pack failed: $(tail -1 "$E2E_LOGS/$E2E_SCENARIO-pack.log")"
    return 1
  }
}

# e2e_manifest NAME [KEY=VALUE...]: prints manifests/NAME.toml with each
# @KEY@ in it replaced by VALUE (a manifest that several scenarios share
# apart from a title or a name).  A placeholder left without a value is an
# error (status 1).
e2e_manifest() {
  local name=$1 file=$E2E_MANIFESTS/$1.toml pair value text script=(-e '')
  shift
  [ -f "$file" ] || { echo "no manifest $file" >&2; return 1; }
  for pair; do
    value=${pair#*=}
    value=${value//\\/\\\\}
    value=${value//&/\\&}
    value=${value//|/\\|}
    script+=(-e "s|@${pair%%=*}@|$value|g")
  done
  text=$(sed "${script[@]}" "$file") || return 1
  if [[ $text =~ @[A-Z_]+@ ]]; then
    echo "manifest $name: no value for ${BASH_REMATCH[0]}" >&2
    return 1
  fi
  printf '%s\n' "$text"
}

# e2e_pack_manifest NAME [KEY=VALUE...]: packs manifests/NAME.toml (with
# its placeholders filled in as e2e_manifest does) into $PACKAGE/out.
e2e_pack_manifest() {
  local text
  text=$(e2e_manifest "$@" 2>&1) || { e2e_fail "$text"; return 1; }
  printf '%s\n' "$text" | e2e_pack
}

# e2e_copy_media [FILE...]: the packed media files (all, or those named)
# into $MEDIA beside SETUP.EXE.
e2e_copy_media() {
  if [ $# -eq 0 ]; then
    cp "$PACKAGE"/out/* "$MEDIA/"
  else
    local file
    for file in "$@"; do cp "$PACKAGE/out/$file" "$MEDIA/"; done
  fi
}

# e2e_rewrite_version FILE VERSION: replaces a media file by one with the
# same plain prefix whose compressed stream starts with another format
# version (a 32-bit little-endian number).  The run reads the version first
# and stops there when it differs, so nothing after it is needed.
e2e_rewrite_version() {
  local file=$1 version=$2 work=$PACKAGE/version
  mkdir -p "$work"
  # The plain prefix ends with the first zero byte.
  local through_zero
  through_zero=$(od -An -v -tu1 -N 4096 "$file" | tr -s ' ' '\n' | sed '/^$/d' |
    grep -n -m1 '^0$' | cut -d: -f1)
  [ -n "$through_zero" ] || return 1
  head -c "$through_zero" "$file" >"$work/prefix"
  printf "$(printf '\\%03o\\%03o\\%03o\\%03o' $((version & 255)) $((version >> 8 & 255)) \
    $((version >> 16 & 255)) $((version >> 24 & 255)))" >"$work/header"
  head -c 60 /dev/zero >>"$work/header"
  "$E2E_VELMORA" codec encode "$work/header" "$work/header.z" >/dev/null || return 1
  cat "$work/prefix" "$work/header.z" >"$file"
  # Without its description beside it: the description would have the run
  # refuse the rewritten file as damaged before reading its version.
  rm -f "$(dirname "$file")/velmor.sum"
}
