#!/usr/bin/env bash
# The figures of renaming 100,000 files and of planning a million renames, each
# next to its reference: quorvel-cli run and undo against the plain C renameat2
# loop (bound: 1.4 times) and against Debian's perl rename (bound: faster), the plan
# of a shift of 1,000,000 names (bound: 1 s). The rounds of the renaming
# benchmarks are mixed so that the load of the machine weighs on all alike; the
# figure of each is its median round. Not run by CI.
#
#   bash bench/rename_figures.sh [FILES_BENCH]
set -euo pipefail
bench=${1:-"$(dirname "$0")/../build/release/bench/files_bench"}
out=$(mktemp -d "${QUORVEL_BENCH_DIR:-/tmp}/quorvel-figures-XXXXXX")
trap 'rm -rf "$out"' EXIT

"$bench" --benchmark_filter='^BM_(QuorvelCliRun|PerlRename|ListAndRenamePlainC|RunRenames|QuorvelCliUndo|UndoLastRun|ListAndUndoPlainC)/' \
    --benchmark_enable_random_interleaving=true \
    --benchmark_out="$out/renames.json" --benchmark_out_format=json >/dev/null
"$bench" --benchmark_filter='^BM_Plan' --benchmark_out="$out/plans.json" --benchmark_out_format=json >/dev/null

python3 - "$out/renames.json" "$out/plans.json" <<'PY'
import json, sys

def load(path):
    return json.load(open(path))["benchmarks"]

def ms(b):
    return b["real_time"] * {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[b["time_unit"]]

renames = {}
for b in load(sys.argv[1]):
    if b.get("run_type") == "aggregate" and b.get("aggregate_name") in ("median", "min"):
        renames.setdefault(b["run_name"].split("/")[0], {})[b["aggregate_name"]] = ms(b)

def compare(ours, reference, bound, what):
    if ours not in renames or reference not in renames:
        print(f"{what}: not measured ({ours} or {reference} missing or skipped)")
        return
    a, r = renames[ours], renames[reference]
    ratio = a["median"] / r["median"]
    verdict = "ok" if ratio <= bound else "MISSED"
    print(f"{what}: {a['median']:.0f} ms (min {a['min']:.0f}) vs {r['median']:.0f} ms (min {r['min']:.0f}): "
          f"{ratio:.2f}x, bound {bound}x: {verdict}")

compare("BM_QuorvelCliRun", "BM_ListAndRenamePlainC", 1.4, "quorvel-cli run / plain C loop")
compare("BM_QuorvelCliRun", "BM_PerlRename", 1.0, "quorvel-cli run / perl rename ")
compare("BM_RunRenames", "BM_ListAndRenamePlainC", 1.4, "RunRenames     / plain C loop")
compare("BM_QuorvelCliUndo", "BM_ListAndUndoPlainC", 1.4, "quorvel-cli undo / plain C back")
compare("BM_UndoLastRun", "BM_ListAndUndoPlainC", 1.4, "UndoLastRun    / plain C back")

for b in load(sys.argv[2]):
    name = b["name"]
    if b.get("aggregate_name") == "BigO":
        print(f"{name}: coefficient {b['real_coefficient']:.3g} of {b['big_o']}")
    elif b.get("aggregate_name") == "RMS":
        print(f"{name}: {b['rms'] * 100:.0f} % off the fit")
    elif b.get("run_type") == "iteration":
        shift = name.startswith("BM_PlanShift/1000000/")
        bound = " (bound 1000 ms: " + ("ok" if ms(b) < 1000 else "MISSED") + ")" if shift else ""
        print(f"{name}: {ms(b):.0f} ms{bound}")
PY
