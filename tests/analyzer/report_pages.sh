#!/usr/bin/env bash
# The analyzer's pages as a person sees them: headless Chromium lays out a
# real run's report (with its companion file) and a sweep's report at 1024
# and 1400 px, each in a frame of that width, and a probe page around the
# frames (the reports themselves hold no script) lists every table wider
# than the card it sits in. Any is a failure. Skipped (77) without Chromium.
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
# The sweep file is made to be wide: three configurations with long names,
# two results files a point, and one interval of +-400 %.
cp "$sweep_json" sweep/sweep.json
"$analyzer" sweep/sweep.json >sweep.txt 2>&1 || { cat sweep.txt; fail "the analyzer did not read the sweep"; }

# Every table against its card (the section around it), and the page's
# width, in frames of each width: one browser start for every page and width.
cat >probe.html <<HTML
<!DOCTYPE html><html><body><pre id="result"></pre>
<iframe src="$run_page" width="1024" height="900"></iframe><iframe src="$run_page" width="1400" height="900"></iframe>
<iframe src="sweep/sweep.html" width="1024" height="900"></iframe><iframe src="sweep/sweep.html" width="1400" height="900"></iframe>
<script>
addEventListener("load", () => {
  const lines = [];
  for (const frame of document.querySelectorAll("iframe")) {
    const page = frame.contentDocument, view = frame.contentWindow, over = [];
    for (const table of page.querySelectorAll("table")) {
      const card = table.closest("section") || page.body;
      const edge = card.getBoundingClientRect().right - parseFloat(view.getComputedStyle(card).paddingRight);
      const right = table.getBoundingClientRect().right;
      let scrolled = false;
      for (let e = table.parentElement; e && e !== card; e = e.parentElement) scrolled ||= e.scrollWidth > e.clientWidth + 1;
      if (right > edge + 1 || scrolled) over.push((table.className || "table") + " by " + Math.round(right - edge) + " px");
    }
    const width = page.documentElement.scrollWidth - view.innerWidth;
    if (width > 1) over.push("the page by " + width + " px");
    lines.push(frame.getAttribute("src") + " at " + frame.width + " px: " +
               (over.length ? "wider than its card: " + over.join("; ") : "every table fits its card"));
  }
  document.getElementById("result").textContent = "PAGES" + "{" + lines.join("\n") + "}";
});
</script></body></html>
HTML
# A new empty profile; nothing fetched from the network. The frames' pages
# are files beside the probe, which file access lets it read.
timeout 90 "$browser" --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
  --disable-background-networking --disable-component-update --disable-sync --hide-scrollbars \
  --allow-file-access-from-files --user-data-dir="$work/profile" --virtual-time-budget=10000 \
  --window-size=3000,1000 --dump-dom "file://$work/probe.html" >dom.txt 2>browser.txt
rm -rf profile
found=$(sed -n '/PAGES{/,/}/p' dom.txt | sed 's/.*PAGES{//; s/}.*//')
if [ -z "$found" ]; then
  tail -n 20 browser.txt
  fail "the probe did not run"
fi
echo "$found"
[ "$(grep -c 'every table fits its card' <<<"$found")" -eq 4 ]
