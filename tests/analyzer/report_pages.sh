#!/usr/bin/env bash
# The analyzer's pages as a person sees them: headless Chromium lays out a
# real run's report and a sweep's report at 1024 and 1400 px, and a probe
# script (added to a copy of each page; the reports themselves have none)
# lists every table wider than the card it sits in. Any is a failure.
# Skipped (77) where Chromium is not installed.
#   report_pages.sh KV3R ANALYZER SWEEP_JSON WORK
set -u
kv3r=$1 analyzer=$2 sweep_json=$3 work=$4
browser=$(command -v chromium || command -v chromium-browser || true)
[ -n "$browser" ] || { echo "no chromium here: skipped"; exit 77; }
rm -rf "$work" && mkdir -p "$work/sweep" "$work/profile" && cd "$work" || exit 1
fail() { echo "FAIL: $*"; exit 1; }

# A real run with a companion file (two rounds), and a sweep's file.
"$kv3r" --openal-output null run --seconds 1 --repeat 2 --3d-hardware 0 --3d-eax 0 --buffers 8 >run.txt 2>&1
status=$?
[ "$status" -eq 0 ] || [ "$status" -eq 3 ] || { cat run.txt; fail "kv3r run ended with $status"; }
run_page=$(ls KV3D_*.html 2>/dev/null | head -n 1)
[ -n "$run_page" ] || { cat run.txt; fail "the run left no report"; }
grep -q 'class="companion"' "$run_page" || fail "the run's report has no companion section"
cp "$sweep_json" sweep/sweep.json
"$analyzer" sweep/sweep.json >sweep.txt 2>&1 || { cat sweep.txt; fail "the analyzer did not read the sweep"; }

# Every table against its card (the section around it), and the page's width.
cat >probe.js <<'JS'
const over = [];
for (const table of document.querySelectorAll("table")) {
  const card = table.closest("section") || document.body;
  const box = card.getBoundingClientRect(), edge = box.right - parseFloat(getComputedStyle(card).paddingRight);
  const right = table.getBoundingClientRect().right;
  let scrolled = false;
  for (let e = table.parentElement; e && e !== card; e = e.parentElement) scrolled ||= e.scrollWidth > e.clientWidth + 1;
  if (right > edge + 1 || scrolled) over.push((table.className || "table") + " by " + Math.round(right - edge) + " px");
}
if (document.documentElement.scrollWidth > innerWidth + 1) over.push("the page by " + (document.documentElement.scrollWidth - innerWidth) + " px");
const out = document.createElement("pre");
out.id = "overflow";
out.textContent = "OVERFLOW{" + over.join("; ") + "}";
document.body.appendChild(out);
JS
failed=0
for page in "$run_page" sweep/sweep.html; do
  probed=${page%.html}.probe.html
  sed "s#</body>#<script src=\"file://$work/probe.js\"></script></body>#" "$page" >"$probed"
  for width in 1024 1400; do
    # A new empty profile each time; nothing fetched from the network.
    rm -rf profile && mkdir profile
    timeout 60 "$browser" --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
      --disable-background-networking --disable-component-update --disable-sync --hide-scrollbars \
      --user-data-dir="$work/profile" --window-size="$width,900" --dump-dom "file://$work/$probed" \
      >dom.txt 2>browser.txt
    found=$(grep -o 'OVERFLOW{[^}]*}' dom.txt)
    if [ -z "$found" ]; then
      cat browser.txt
      fail "$page at $width px: the probe did not run"
    elif [ "$found" != "OVERFLOW{}" ]; then
      echo "$page at $width px: wider than its card: ${found#OVERFLOW}"
      failed=1
    else
      echo "$page at $width px: every table fits its card"
    fi
  done
done
rm -rf profile
exit $failed
