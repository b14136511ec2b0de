#!/usr/bin/env bash
# Rebuilds the seed corpora of the fuzz targets (fuzz/corpus/<target>/) from the files of
# tests/data, cut small so that the fuzzers stay fast, plus a tiny IONEX file written here.
# Needs gzip and compress (ncompress). The seeds are committed; run this only to renew them.
set -euo pipefail
cd "$(dirname "$0")"
data=../tests/data
out=corpus
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

rm -rf "$out"/line_source "$out"/ionex_reader "$out"/gateway "$out"/ionex_read
mkdir -p "$out"/line_source "$out"/ionex_reader "$out"/gateway "$out"/ionex_read

# ---- source material --------------------------------------------------------------------
rec() { printf '%-60s%s\n' "$1" "$2"; }

# A tiny complete IONEX file: 3 x 5 grid, two maps, a DCB block with satellites and stations.
synthetic() {
  rec '     1.0            IONOSPHERE MAPS     GPS' 'IONEX VERSION / TYPE'
  rec '  2016     4    28     0     0     0' 'EPOCH OF FIRST MAP'
  rec '  2016     4    28     2     0     0' 'EPOCH OF LAST MAP'
  rec '  7200' 'INTERVAL'
  rec '     2' '# OF MAPS IN FILE'
  rec '     2' 'MAP DIMENSION'
  rec '   450.0 450.0   0.0' 'HGT1 / HGT2 / DHGT'
  rec '    10.0   0.0  -5.0' 'LAT1 / LAT2 / DLAT'
  rec '   -10.0  10.0   5.0' 'LON1 / LON2 / DLON'
  rec '    -1' 'EXPONENT'
  rec 'DIFFERENTIAL CODE BIASES' 'START OF AUX DATA'
  rec '   G01    -7.615     0.009' 'PRN / BIAS / RMS'
  rec '   G32     2.250     0.010' 'PRN / BIAS / RMS'
  rec '   R05     1.000     0.010' 'PRN / BIAS / RMS'
  rec '   G  ABCD 12345M001          -1.472     0.052' 'STATION / BIAS / RMS'
  rec '   G  brux                     3.100     0.040' 'STATION / BIAS / RMS'
  rec 'DIFFERENTIAL CODE BIASES' 'END OF AUX DATA'
  rec '' 'END OF HEADER'
  for m in 1 2; do
    rec "$(printf '%6d' $m)" 'START OF TEC MAP'
    rec "  2016     4    28     $(( (m - 1) * 2 ))     0     0" 'EPOCH OF CURRENT MAP'
    for lat in 10.0 5.0 0.0; do
      rec "$(printf '  %6s-10.0  10.0   5.0 450.0' $lat)" 'LAT/LON1/LON2/DLON/H'
      printf '%5d%5d%5d%5d%5d\n' $((m * 10 + 1)) $((m * 10 + 2)) 33 9999 $((m * 100))
    done
    rec "$(printf '%6d' $m)" 'END OF TEC MAP'
  done
  rec '' 'END OF FILE'
}

# The header of the CODE file without its DCB block, and the first five rows of its first map.
codg_small() {
  awk '/START OF AUX DATA/ {skip = 1} !skip {print} /END OF AUX DATA/ {skip = 0}' \
      "$data/CODG0080.20I" > "$tmp/codg_nodcb.txt"
  awk '/START OF TEC MAP/ {map = 1}
      map && /LAT\/LON1\/LON2\/DLON\/H/ {rows++}
      rows > 5 {print "     1                                                      END OF TEC MAP"; exit}
      {print}' "$tmp/codg_nodcb.txt"
}

synthetic > "$tmp/synthetic.14i"
codg_small > "$tmp/codg_small.20i"
cp "$data/jammed-fields.14i" "$tmp/jammed.14i"
head -c 4096 "$data/CODG0080.20I" > "$tmp/codg_head.txt"
gzip -dc "$data/jplg0010.17i.gz" > "$tmp/jpl.txt"
head -c 4096 "$tmp/jpl.txt" > "$tmp/jpl_head.txt"
compress -dc < "$data/esag0080.20i.Z" > "$tmp/esa.txt"
head -c 4096 "$tmp/esa.txt" > "$tmp/esa_head.txt"
gzip -9 -n -c "$tmp/jammed.14i" > "$tmp/jammed.gz"
compress -c < "$tmp/jammed.14i" > "$tmp/jammed.Z"
compress -c < "$tmp/synthetic.14i" > "$tmp/synthetic.Z"
gzip -9 -n -c "$tmp/synthetic.14i" > "$tmp/synthetic.gz"
head -c 2000 "$tmp/jammed.14i" | gzip -9 -n -c > "$tmp/jammed_a.gz"
tail -c +2001 "$tmp/jammed.14i" | compress -c > "$tmp/jammed_b.Z"
cat "$tmp/jammed_a.gz" "$tmp/jammed_b.Z" > "$tmp/gz_then_Z"

# ---- line source: [read size][framing] payload ------------------------------------------
ls_seed() {  # name size-byte framing-byte file
  { printf "\\x$2\\x$3"; cat "$4"; } > "$out/line_source/$1"
}
ls_seed plain_codg_head      00 00 "$tmp/codg_head.txt"
ls_seed plain_jammed_100     2a 00 "$tmp/jammed.14i"
ls_seed plain_varying        33 00 "$tmp/jpl_head.txt"
ls_seed plain_size2          04 00 "$tmp/esa_head.txt"
head -c 4096 "$data/codg0080.20i.gz" > "$tmp/gz_cut"
head -c 4096 "$data/codg0080.20i.Z" > "$tmp/Z_cut"
head -c 3000 "$data/jplg0010.17i.gz" > "$tmp/jpl_gz_cut"
head -c 3000 "$data/esag0080.20i.Z" > "$tmp/esa_Z_cut"
ls_seed gz_whole             00 00 "$tmp/jammed.gz"
ls_seed gz_cut_short         00 00 "$tmp/gz_cut"
ls_seed gz_jpl_cut_varying   57 00 "$tmp/jpl_gz_cut"
ls_seed Z_whole              00 00 "$tmp/jammed.Z"
ls_seed Z_cut_short          00 00 "$tmp/Z_cut"
ls_seed Z_esa_cut_size40     10 00 "$tmp/esa_Z_cut"
ls_seed gz_then_Z            00 00 "$tmp/gz_then_Z"
# A small compress stream that decodes to more than one 256 KB output block.
{ yes '   12   34 5678 9999' || true; } | head -c 600000 | compress -c > "$tmp/big.Z"
ls_seed Z_big_output         00 00 "$tmp/big.Z"
ls_seed Z_big_output_varying 35 00 "$tmp/big.Z"
{ cat "$tmp/jammed.gz"; printf 'plain text after the member\nand more'; } > "$tmp/gz_then_plain"
ls_seed gz_then_plain        00 00 "$tmp/gz_then_plain"
printf '\x1f\x9d' > "$tmp/Z_magic"; ls_seed Z_magic_only 00 00 "$tmp/Z_magic"
printf '\x1f\x9d\x90' > "$tmp/Z_flag"; ls_seed Z_flag_only 00 00 "$tmp/Z_flag"
printf 'a\r\nb\n\n\0x\0\n\xff\xfe no newline' > "$tmp/odd"; ls_seed odd_bytes 0b 00 "$tmp/odd"
head -c 1500 "$tmp/jammed.14i" > "$tmp/jammed_1500"
ls_seed framed_gzip          07 01 "$tmp/jammed_1500"
ls_seed framed_two_members   00 82 "$tmp/jammed.14i"    # split at 32/63
# gzip member of a text head, then a compress stream: the split must fall where the stream
# starts, so the text head is padded until it does.
zlen=$(stat -c %s "$tmp/jammed.Z")
a=1
while [ $(( (a + zlen) * 32 / 63 )) -ne $a ]; do a=$((a + 1)); done
{ head -c "$a" "$tmp/synthetic.14i"; head -c $(( a > $(stat -c %s "$tmp/synthetic.14i") ? a - $(stat -c %s "$tmp/synthetic.14i") : 0 )) /dev/zero | tr '\0' ' '; cat "$tmp/jammed.Z"; } > "$tmp/head_then_Z"
ls_seed framed_gzip_then_Z   00 83 "$tmp/head_then_Z"
printf '' > "$out/line_source/empty"

# ---- IONEX readers: text [mode][lat0][lon0][lat1][lon1] (int16 LE hundredths) -----------
le16() { printf '\\x%02x\\x%02x' $(( $1 & 255 )) $(( ($1 >> 8) & 255 )); }
rd_seed() {  # name file mode lat0 lon0 lat1 lon1 (hundredths)
  { cat "$2"; printf "\\x$3$(le16 $4)$(le16 $5)$(le16 $6)$(le16 $7)"; } > "$out/ionex_reader/$1"
}
rd_seed synthetic_whole_dcb  "$tmp/synthetic.14i" 0c 0 0 0 0       # whole, DCBs, receiver abcd
rd_seed synthetic_point      "$tmp/synthetic.14i" 15 500 250 0 0   # point (5, 2.5), brux
rd_seed synthetic_area       "$tmp/synthetic.14i" 46 0 -500 1000 500
rd_seed jammed_whole         "$tmp/jammed.14i" 00 0 0 0 0
rd_seed jammed_point         "$tmp/jammed.14i" 01 2250 1000 0 0
rd_seed jammed_area          "$tmp/jammed.14i" 02 2000 -2000 2500 3000
rd_seed codg_small_whole     "$tmp/codg_small.20i" 04 0 0 0 0
rd_seed codg_small_point     "$tmp/codg_small.20i" 1d 8500 -17500 0 0
rd_seed codg_head_dcb        "$tmp/codg_head.txt" 1c 0 0 0 0
rd_seed jpl_head             "$tmp/jpl_head.txt" 04 0 0 0 0
rd_seed esa_head_dcb         "$tmp/esa_head.txt" 24 0 0 0 0
rd_seed synthetic_gz_point   "$tmp/synthetic.gz" 01 250 -250 0 0
rd_seed synthetic_Z_area     "$tmp/synthetic.Z" 06 0 0 1000 1000

# ---- gateway: [counts][in1|in2][in3][in4][in5][lat0][lon0][lat1][lon1] file ------------
# counts = nrhs + 7 * nlhs; coordinates are int8 * 1.5 degrees (108..127: special values).
gw_seed() {  # name file nine-hex-bytes...
  local name=$1 file=$2; shift 2
  { for b in "$@"; do printf "\\x$b"; done; cat "$file"; } > "$out/gateway/$name"
}
# in1|in2 = 0x00: the file and a 1x2 double; in3 bit 0 = name; 0x01 = "ABCD".
gw_seed synthetic_whole6     "$tmp/synthetic.14i" 2b 00 00 00 00 00 00 00 00   # 1 in, 6 out
gw_seed synthetic_point_dcb  "$tmp/synthetic.14i" 2e 00 03 09 00 03 02 00 00   # (4.5, 3), brux, 33 sats
gw_seed synthetic_area_dcb   "$tmp/synthetic.14i" 2f 00 00 00 02 00 fa 06 03   # area, ABCD, 40.9 sats
gw_seed jammed_point         "$tmp/jammed.14i" 17 00 01 00 00 0f 07 00 00      # (22.5, 10.5), 3 out
gw_seed jammed_area          "$tmp/jammed.14i" 1f 00 00 00 00 0e 88 10 64      # area, 4 out
gw_seed jammed_gz_whole      "$tmp/jammed.gz" 1d 00 00 00 00 00 00 00 00
gw_seed synthetic_Z_point    "$tmp/synthetic.Z" 2e 00 01 05 00 02 fe 00 00     # sats 1e12
gw_seed codg_small_point     "$tmp/codg_small.20i" 2d 00 03 00 00 70 8b 00 00   # (87.5, -175.5)
gw_seed gz_then_Z_whole      "$tmp/gz_then_Z" 1d 00 00 00 00 00 00 00 00
gw_seed usage_forms          "$tmp/synthetic.14i" 2f 68 0a 0d 0f 00 00 00 00   # int32, logical receiver
gw_seed missing_file         "$tmp/synthetic.14i" 2b 06 00 00 00 00 00 00 00
gw_seed directory            "$tmp/synthetic.14i" 2b 07 00 00 00 00 00 00 00

# ---- +ionex reader: file [mode][lat0][lat1][lon0][lon1][day][hours][length] ------------
# mode: bits 0-2 kinds (0 = all), 3 header only, 4 latitude, 5 longitude, 6 time, 7 series.
rr_seed() {  # name file mode lat0 lat1 lon0 lon1 (hundredths) day hours length
  { cat "$2"; printf "\\x$3$(le16 $4)$(le16 $5)$(le16 $6)$(le16 $7)\\x$8\\x$9\\x${10}"; } > "$out/ionex_read/$1"
}
# A 3-D file with RMS and height maps, a per-map exponent, 9999 and a 0..360 grid.
synthetic3d() {
  rec '     1.1            IONOSPHERE MAPS     GPS' 'IONEX VERSION / TYPE'
  rec '  2020     1     8     0     0     0' 'EPOCH OF FIRST MAP'
  rec '     2' '# OF MAPS IN FILE'
  rec '     3' 'MAP DIMENSION'
  rec '   200.0 400.0 200.0' 'HGT1 / HGT2 / DHGT'
  rec '   -10.0  10.0  10.0' 'LAT1 / LAT2 / DLAT'
  rec '     0.0 355.0   5.0' 'LON1 / LON2 / DLON'
  rec '    -1' 'EXPONENT'
  rec '' 'END OF HEADER'
  for kind in TEC RMS HEIGHT; do
    for m in 1 2; do
      rec "$(printf '%6d' $m)" "START OF $kind MAP"
      rec "  2020     1     8     $(( (m - 1) * 2 ))     0     0" 'EPOCH OF CURRENT MAP'
      [ $m = 2 ] && rec '    -2' 'EXPONENT'
      for h in 200.0 400.0; do
        for lat in -10.0 0.0 10.0; do
          rec "$(printf '  %6s   0.0 355.0   5.0%6s' $lat $h)" 'LAT/LON1/LON2/DLON/H'
          for line in 1 2 3 4; do printf '%5d' $(seq $((m * 10)) $((m * 10 + 15))); echo; done
          printf '%5d%5d%5d%5d%5d%5d%5d%5d\n' 1 2 9999 4 5 6 7 8
        done
      done
      rec "$(printf '%6d' $m)" "END OF $kind MAP"
    done
  done
}
synthetic3d > "$tmp/synthetic3d.14i"
gzip -9 -n -c "$tmp/synthetic3d.14i" > "$tmp/synthetic3d.gz"
head -c 20000 "$tmp/esa.txt" > "$tmp/esa_20k.txt"
compress -dc < "$data/casg0010.99i.Z" > "$tmp/cas.txt"
head -c 12000 "$tmp/cas.txt" > "$tmp/cas_head.txt"
rr_seed synthetic_all        "$tmp/synthetic.14i" 00 0 0 0 0 00 00 00
rr_seed synthetic_window     "$tmp/synthetic.14i" 31 250 750 -500 500 01 00 00
rr_seed synthetic_seam       "$tmp/synthetic.14i" 20 0 0 500 -500 00 00 00
rr_seed synthetic_time       "$tmp/synthetic.14i" 41 0 0 0 0 01 01 02
rr_seed synthetic_series     "$tmp/synthetic.14i" 80 0 0 0 0 00 00 00
rr_seed synthetic_info       "$tmp/synthetic.14i" 08 0 0 0 0 00 00 00
rr_seed synthetic3d_all      "$tmp/synthetic3d.14i" 00 0 0 0 0 00 00 00
rr_seed synthetic3d_seam     "$tmp/synthetic3d.14i" 36 -500 500 32000 1000 00 00 00
rr_seed synthetic3d_gz_time  "$tmp/synthetic3d.gz" c7 0 0 0 0 00 ff 04
rr_seed jammed_window        "$tmp/jammed.14i" 30 2000 2400 -17000 17000 02 00 00
rr_seed jammed_Z             "$tmp/jammed.Z" 00 0 0 0 0 00 00 00
rr_seed codg_small_window    "$tmp/codg_small.20i" 33 8000 9000 17000 -17000 00 00 00
rr_seed codg_head            "$tmp/codg_head.txt" 08 0 0 0 0 00 00 00
rr_seed jpl_head             "$tmp/jpl_head.txt" 08 0 0 0 0 00 00 00
rr_seed esa_20k              "$tmp/esa_20k.txt" 00 0 0 0 0 00 00 00
rr_seed cas_head             "$tmp/cas_head.txt" 08 0 0 0 0 00 00 00
printf '' > "$out/ionex_read/empty"

du -sh "$out"
