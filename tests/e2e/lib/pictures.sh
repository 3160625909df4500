# Pictures for the background steps and what the screenshots show of them.

# e2e_le32 NUMBER: printf escapes of a 32-bit little-endian number.
e2e_le32() {
  printf '\\x%02x\\x%02x\\x%02x\\x%02x' $(($1 & 255)) $(($1 >> 8 & 255)) \
    $(($1 >> 16 & 255)) $(($1 >> 24 & 255))
}

# e2e_quadrant_bmp FILE WIDTH HEIGHT TOP_LEFT TOP_RIGHT BOTTOM_LEFT
# BOTTOM_RIGHT: a 24-bit Windows bitmap (rows bottom-up) in four flat
# quadrants of the colours given as RRGGBB.  WIDTH and HEIGHT are even.
e2e_quadrant_bmp() {
  local file=$1 width=$2 height=$3 stride row_top= row_bottom= pad= x y colour
  stride=$(((width * 3 + 3) / 4 * 4))
  # One row of each half, in blue, green, red order.
  for ((x = 0; x < width; x++)); do
    colour=$([ $x -lt $((width / 2)) ] && echo "$4" || echo "$5")
    row_top+="\\x${colour:4:2}\\x${colour:2:2}\\x${colour:0:2}"
    colour=$([ $x -lt $((width / 2)) ] && echo "$6" || echo "$7")
    row_bottom+="\\x${colour:4:2}\\x${colour:2:2}\\x${colour:0:2}"
  done
  for ((x = width * 3; x < stride; x++)); do pad+='\x00'; done
  {
    printf "BM$(e2e_le32 $((54 + stride * height)))$(e2e_le32 0)$(e2e_le32 54)"
    printf "$(e2e_le32 40)$(e2e_le32 "$width")$(e2e_le32 "$height")\\x01\\x00\\x18\\x00"
    printf "$(e2e_le32 0)$(e2e_le32 $((stride * height)))$(e2e_le32 2835)$(e2e_le32 2835)"
    printf "$(e2e_le32 0)$(e2e_le32 0)"
    for ((y = 0; y < height; y++)); do
      if [ $y -lt $((height / 2)) ]; then printf "$row_bottom$pad"; else printf "$row_top$pad"; fi
    done
  } >"$file"
}

# e2e_picture_box SHOT RRGGBB...: the bounding box of the screenshot's
# pixels of exactly these colours, as "WIDTHxHEIGHT+LEFT+TOP", or "none".
e2e_picture_box() {
  local shot=$1 colour marks=() found box
  shift
  for colour; do marks+=(-opaque "#$colour"); done
  # Marked pixels become white, everything else black; -trim's extent (%@)
  # is then the white pixels', when there are any.
  read -r found box < <(convert "$shot" -fill '#010203' "${marks[@]}" -fill black \
    +opaque '#010203' -fill white -opaque '#010203' -format '%[fx:maxima.r] %@' info: 2>/dev/null)
  [ -n "$found" ] || return 1
  if [ "$found" = 1 ]; then printf '%s\n' "$box"; else echo none; fi
}

# e2e_expect_picture SHOT FIT_FILE RRGGBB...: the pixels of these colours
# fill exactly the rectangle FIT_FILE names (as the robot's fit wrote it).
e2e_expect_picture() {
  local shot=$1 expected got
  expected=$(tr -d '\r\n' <"$2" 2>/dev/null) || { e2e_fail "no fit rectangle in $2"; return; }
  shift 2
  [ -f "$shot" ] || { e2e_fail "no screenshot $(basename "$shot")"; return; }
  got=$(e2e_picture_box "$shot" "$@") || { e2e_fail "cannot read $(basename "$shot")"; return; }
  [ "$got" = "$expected" ] ||
    e2e_fail "$(basename "$shot"): the picture ($*) covers $got, expected $expected"
}

# e2e_expect_no_picture SHOT RRGGBB...: none of these colours is on the screen.
e2e_expect_no_picture() {
  local shot=$1 got
  shift
  got=$(e2e_picture_box "$shot" "$@") || { e2e_fail "cannot read $(basename "$shot")"; return; }
  [ "$got" = none ] || e2e_fail "$(basename "$shot"): colours $* still cover $got"
}
