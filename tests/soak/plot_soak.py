#!/usr/bin/python3
"""Plots of a soak (run_soak.py's output folder) for the report, as PNG:

    tests/soak/plot_soak.py OUTPUT DOCS [--fake-csv FILE]

  DOCS/soak-memory.png   resident memory over the run, the fit after warm-up
  DOCS/soak-threads.png  threads of the bar's process, quote requests served
  DOCS/soak-scroll.png   the gap before every update of the bar's window,
                         and how far the bar scrolled
  DOCS/fake-soak-gdi.png (with --fake-csv, from VELMORIA_FAKE_SOAK_CSV of
                         the native soak) live drawing objects after each pass
"""

import argparse
import csv
import json
import pathlib
import sys

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))
from damage_watcher import read_updates  # noqa: E402
from soak_figures import WINE_BYTES_PER_DOWNLOAD, blank_runs, read_events, read_samples  # noqa: E402

SIZE = (9, 4.5)
DPI = 100
STEP_MS = 40
EVENT_COLOURS = {"symbols": "tab:purple", "message": "tab:orange", "data field": "tab:grey"}


def minutes(seconds):
    return [s / 60.0 for s in seconds]


def mark_events(axes, events):
    """Thin vertical lines where the scenario changed the list or message."""
    for action, colour in EVENT_COLOURS.items():
        times = [float(e["t"]) for e in events if e["action"] == action]
        for n, t in enumerate(times):
            axes.axvline(t / 60.0, color=colour, linewidth=0.5, alpha=0.4, label=action if n == 0 else None)


def finish(figure, axes, title, x_label, y_label, path, legend="lower right"):
    axes.set_title(title)
    axes.set_xlabel(x_label)
    axes.set_ylabel(y_label)
    if legend:
        axes.legend(loc=legend, fontsize="small")
    figure.tight_layout()
    figure.savefig(path, dpi=DPI)


def plot_memory(samples, events, summary, wine_bytes_per_download, path):
    figure, axes = plt.subplots(figsize=SIZE)
    t = [s["t"] for s in samples]
    axes.plot(minutes(t), [s["rss_kb"] / 1024 for s in samples], linewidth=0.6, label="VmRSS")
    warmup = summary["warmup_s"]
    after = [s for s in samples if s["t"] >= warmup]
    if after:
        slope_mb_per_s = summary["rss_growth_mb_per_hour"] / 3600.0
        mean_t = sum(s["t"] for s in after) / len(after)
        mean_v = sum(s["rss_kb"] for s in after) / len(after) / 1024
        ends = [after[0]["t"], after[-1]["t"]]
        axes.plot(minutes(ends), [mean_v + slope_mb_per_s * (x - mean_t) for x in ends], "k--", linewidth=1,
                  label="fit after warm-up: %+.2f MB/h" % summary["rss_growth_mb_per_hour"])
        # What Wine's WinINet alone keeps for the downloads made since the
        # warm-up (bench/download_memory.sh), from the lowest sample there.
        floor = min(s["rss_kb"] for s in after[:max(1, len(after) // 20)])
        axes.plot(minutes(s["t"] for s in after),
                  [(floor + (s["quotes"] - after[0]["quotes"]) * wine_bytes_per_download / 1024) / 1024
                   for s in after], color="tab:red", linewidth=1,
                  label="Wine's WinINet alone: %d bytes per download" % wine_bytes_per_download)
    axes.axvspan(0, warmup / 60.0, color="0.9", label="warm-up")
    mark_events(axes, events)
    finish(figure, axes, "Resident memory of velmoria.exe under Wine", "minutes", "MB", path)


def plot_threads(samples, events, path):
    figure, axes = plt.subplots(figsize=SIZE)
    t = minutes(s["t"] for s in samples)
    axes.step(t, [s["threads"] for s in samples], where="post", linewidth=0.8, label="threads")
    axes.set_ylim(0, max(s["threads"] for s in samples) + 1)
    requests = axes.twinx()
    requests.plot(t, [s["quotes"] for s in samples], color="tab:green", linewidth=0.8, label="quote requests served")
    requests.set_ylabel("quote requests served")
    mark_events(axes, events)
    lines = axes.get_legend_handles_labels()
    more = requests.get_legend_handles_labels()
    axes.legend(lines[0] + more[0], lines[1] + more[1], loc="upper left", fontsize="small")
    finish(figure, axes, "Threads of velmoria.exe (one more while a pass runs) and requests served", "minutes",
           "threads", path, legend=None)


def plot_scroll(updates, started_at, path):
    figure, (gaps_axes, position_axes) = plt.subplots(2, 1, figsize=(SIZE[0], SIZE[1] * 1.5), sharex=True)
    stamps = [u.server_ms for u in updates]
    # The wall clock of each update, in minutes from the start of the run.
    t = [(u.local_ms / 1000.0 - started_at) / 60.0 for u in updates]
    gaps = [b - a for a, b in zip(stamps, stamps[1:])]
    gaps_axes.plot(t[1:], gaps, ".", markersize=1.5)
    gaps_axes.axhline(STEP_MS, color="k", linewidth=0.5, label="one step: %d ms" % STEP_MS)
    gaps_axes.set_yscale("log")
    gaps_axes.set_ylabel("gap before the update, ms")
    gaps_axes.set_title("Updates of the bar's window (X DAMAGE): gap before each, distance scrolled")
    gaps_axes.legend(loc="upper right", fontsize="small")
    position = []
    total = 0
    for u in updates:
        total += max(u.shift, 0)
        position.append(total / 1000.0)
    position_axes.plot(t, position, linewidth=0.8, label="the picture's move, added up")
    for n, (first, last) in enumerate(blank_runs(updates)):
        position_axes.axvspan(t[first], t[last], color="tab:orange", alpha=0.3,
                              label="nothing on the bar to follow" if n == 0 else None)
    finish(figure, position_axes, "", "minutes", "scrolled, thousands of pixels", path, legend="upper left")


# What the bar itself owns between passes, besides two fonts per item: the
# background brush, the logo, its window's drawing context and the memory
# context that holds the logo; no pen, no worker.
BAR_OWNS = {"brushes": 1, "pens": 0, "bitmaps": 1, "dcs": 2, "threads": 0}
MARKERS = "os^vx"


def plot_fake_gdi(csv_path, path):
    with open(csv_path, newline="") as file:
        rows = [{k: int(v) for k, v in row.items()} for row in csv.DictReader(file)]
    figure, (fonts_axes, rest_axes) = plt.subplots(2, 1, figsize=(SIZE[0], SIZE[1] * 1.3), sharex=True)
    passes = [r["pass"] for r in rows]
    fonts_axes.plot(passes, [r["fonts"] for r in rows], marker=".", linewidth=0.8, label="live fonts")
    fonts_axes.plot(passes, [2 * r["items"] for r in rows], "k:", linewidth=1.5, label="two per item")
    fonts_axes.set_ylim(0, 1.2 * max(r["fonts"] for r in rows))
    fonts_axes.set_ylabel("fonts")
    fonts_axes.set_title("Native soak on the recording fake: what lives after each quote pass")
    fonts_axes.legend(loc="lower right", fontsize="small")
    for (kind, owned), marker in zip(BAR_OWNS.items(), MARKERS):
        rest_axes.plot(passes, [r[kind] - owned for r in rows], marker=marker, linestyle="none", markersize=4,
                       label="%s beyond the bar's %d" % (kind, owned))
    rest_axes.set_ylim(-1, 3)
    rest_axes.set_yticks([-1, 0, 1, 2, 3])
    finish(figure, rest_axes, "", "quote pass", "left behind", path, legend="upper right")


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("output", type=pathlib.Path, help="the soak's output folder")
    parser.add_argument("docs", type=pathlib.Path, help="where the PNG files go")
    parser.add_argument("--fake-csv", type=pathlib.Path)
    parser.add_argument("--wine-bytes-per-download", type=int, default=WINE_BYTES_PER_DOWNLOAD,
                        help="what bench/download_memory.sh measured (raw mode)")
    args = parser.parse_args()
    summary = json.loads((args.output / "summary.json").read_text())
    samples = read_samples(args.output / "samples.csv")
    events = read_events(args.output / "events.csv")
    args.docs.mkdir(parents=True, exist_ok=True)
    plot_memory(samples, events, summary, args.wine_bytes_per_download, args.docs / "soak-memory.png")
    plot_threads(samples, events, args.docs / "soak-threads.png")
    plot_scroll(read_updates(args.output / "damage.txt"), summary["started_at"], args.docs / "soak-scroll.png")
    if args.fake_csv:
        plot_fake_gdi(args.fake_csv, args.docs / "fake-soak-gdi.png")


if __name__ == "__main__":
    main()
