#!/bin/bash
# Lays out a sample medium under the build folder and opens the start menu
# on it. Usage: tools/demo.sh [BUILD-FOLDER]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
medium="$build/demo-medium"

rm -rf "$medium"
mkdir -p "$medium"
cp "$build/cdstart" "$medium/cdstart"

# Two stand-in installers that show they ran: on the terminal, and in a
# small window when xmessage is there.
for name in INST.EXE NetClient.EXE; do
  cat >"$medium/$name" <<SCRIPT
#!/bin/sh
msg="$name ran in \$(pwd)"
echo "\$msg"
command -v xmessage >/dev/null 2>&1 && exec xmessage -center -timeout 5 "\$msg"
exit 0
SCRIPT
  chmod +x "$medium/$name"
done

# Two small real PDF documents, one page of text each.
make_pdf() {  # make_pdf FILE TEXT
  local text=$2 body offsets=() pdf="" obj
  local content="BT /F1 24 Tf 72 720 Td ($text) Tj ET"
  local objects=(
    "<< /Type /Catalog /Pages 2 0 R >>"
    "<< /Type /Pages /Kids [3 0 R] /Count 1 >>"
    "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Contents 4 0 R /Resources << /Font << /F1 5 0 R >> >> >>"
    "<< /Length ${#content} >>
stream
$content
endstream"
    "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>")
  pdf="%PDF-1.4"$'\n'
  for i in "${!objects[@]}"; do
    offsets+=("${#pdf}")
    pdf+="$((i + 1)) 0 obj"$'\n'"${objects[$i]}"$'\n'"endobj"$'\n'
  done
  local xref=${#pdf}
  pdf+="xref"$'\n'"0 $(( ${#objects[@]} + 1 ))"$'\n'"0000000000 65535 f "$'\n'
  for obj in "${offsets[@]}"; do pdf+=$(printf '%010d 00000 n ' "$obj")$'\n'; done
  pdf+="trailer"$'\n'"<< /Size $(( ${#objects[@]} + 1 )) /Root 1 0 R >>"$'\n'
  pdf+="startxref"$'\n'"$xref"$'\n'"%%EOF"$'\n'
  printf '%s' "$pdf" >"$1"
}
LC_ALL=C make_pdf "$medium/Handbuch.pdf" "Handbuch - Beispiel"
LC_ALL=C make_pdf "$medium/Prospekt.pdf" "Prospekt - Beispiel"

echo "sample medium: $medium"
if [ -z "${DISPLAY:-}" ]; then
  echo "no display: the menu needs an X server. Run it under Xvfb, for example:"
  echo "  xvfb-run -s '-screen 0 1024x768x24' $medium/cdstart"
  exit 0
fi
exec "$medium/cdstart"
