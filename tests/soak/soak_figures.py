"""The figures of a soak from its output folder (soak_run.py): memory
growth, threads after each pass, the gaps between the bar's updates and
how far it scrolled. Only what comes after the warm-up counts."""

import csv
import json
import os
import statistics

from damage_watcher import read_updates

KB_PER_MB = 1024.0
# What Wine's WinINet keeps for every download, whoever makes it: measured
# with none of the bar's code by bench/download_memory.sh (raw mode: 101.8
# kB per 1000 downloads in the 32-bit Wine, 155.9 kB in wine64, which the
# tests use where the kernel runs no 32-bit program). The bar's own growth
# is what lies beyond.
WINE_BYTES_PER_DOWNLOAD = 156 if os.environ.get("WINEARCH") == "win64" else 104
SECONDS_PER_HOUR = 3600.0
# A pass has ended when no quote has been asked for this long; its worker
# thread has returned by then.
PASS_QUIET_SECONDS = 1.5
# Gaps between updates of the window longer than these are counted: one
# step takes 40 ms; a gap of 100 ms is two steps drawn as one, 250 ms a
# hitch anyone sees, 2 s a bar that looks hung.
NOTICEABLE_GAPS_MS = (100, 250, 1000, 2000)
# A second of updates at full speed.
BLANK_RUN = 25


def read_samples(path):
    with open(path, newline="") as file:
        return [{k: float(v) for k, v in row.items()} for row in csv.DictReader(file)]


def read_events(path):
    with open(path, newline="") as file:
        return list(csv.DictReader(file))


def slope_per_hour(points):
    """Least-squares slope of (t seconds, value) points, per hour."""
    if len(points) < 2:
        return 0.0
    mean_t = statistics.fmean(t for t, _ in points)
    mean_v = statistics.fmean(v for _, v in points)
    spread = sum((t - mean_t) ** 2 for t, _ in points)
    if spread == 0:
        return 0.0
    return SECONDS_PER_HOUR * sum((t - mean_t) * (v - mean_v) for t, v in points) / spread


def quiet_samples(samples):
    """Samples taken between passes: no quote asked for in the
    PASS_QUIET_SECONDS before them nor between them and the next sample."""
    quiet = []
    last_change = None
    for previous, sample, following in zip(samples, samples[1:], samples[2:]):
        if sample["quotes"] != previous["quotes"]:
            last_change = sample["t"]
        if last_change is not None and sample["t"] - last_change >= PASS_QUIET_SECONDS and \
                following["quotes"] == sample["quotes"]:
            quiet.append(sample)
    return quiet


def memory_figures(samples):
    rss = [(s["t"], s["rss_kb"]) for s in samples]
    values = [v for _, v in rss]
    tenth = max(1, len(values) // 10)
    return {
        "rss_first_mb": values[0] / KB_PER_MB,
        "rss_last_mb": values[-1] / KB_PER_MB,
        "rss_min_mb": min(values) / KB_PER_MB,
        "rss_max_mb": max(values) / KB_PER_MB,
        "rss_growth_mb_per_hour": slope_per_hour(rss) / KB_PER_MB,
        # Medians of the first and the last tenth: less moved by one sample.
        "rss_first_tenth_median_mb": statistics.median(values[:tenth]) / KB_PER_MB,
        "rss_last_tenth_median_mb": statistics.median(values[-tenth:]) / KB_PER_MB,
    }


def thread_figures(samples):
    quiet = quiet_samples(samples)
    baseline = min(s["threads"] for s in samples)
    return {
        "threads_baseline": int(baseline),
        "threads_max": int(max(s["threads"] for s in samples)),
        "quiet_samples": len(quiet),
        "quiet_samples_above_baseline": sum(1 for s in quiet if s["threads"] > baseline),
    }


def blank_runs(updates):
    """(first, last) indexes of the runs of updates whose move could not be
    told, a second or longer: the bar showed nothing but its grips (after a
    new server message, the new items wait behind the logo, which keeps
    its place, until it comes round)."""
    runs, start = [], None
    for n, update in enumerate(updates + [None]):
        unknown = update is not None and update.shift < 0
        if unknown and start is None:
            start = n
        elif not unknown and start is not None:
            if n - start >= BLANK_RUN:
                runs.append((start, n - 1))
            start = None
    return runs


def gap_figures(updates):
    stamps = sorted(u.server_ms for u in updates)
    gaps = [b - a for a, b in zip(stamps, stamps[1:])]
    if not gaps:
        return {"updates": len(stamps)}
    ordered = sorted(gaps)
    figures = {
        "updates": len(stamps),
        "gap_median_ms": statistics.median(gaps),
        "gap_p99_ms": ordered[min(len(ordered) - 1, int(0.99 * len(ordered)))],
        "gap_max_ms": ordered[-1],
    }
    for limit in NOTICEABLE_GAPS_MS:
        figures["gaps_over_%d_ms" % limit] = sum(1 for g in gaps if g > limit)
    shifts = [u.shift for u in updates]
    known = [s for s in shifts if s >= 0]
    figures["scrolled_px"] = sum(known)
    figures["shifts_unknown"] = len(shifts) - len(known)
    figures["shift_median_px"] = statistics.median(known) if known else None
    span_s = (stamps[-1] - stamps[0]) / 1000.0
    blank_s = sum(updates[last].server_ms - updates[first].server_ms for first, last in blank_runs(updates)) / 1000.0
    figures["blank_s"] = blank_s
    # How fast the text moved while there was text to follow.
    figures["scroll_px_per_s"] = sum(known) / (span_s - blank_s) if span_s > blank_s else None
    return figures


def after_warmup(samples, updates, started_at, warmup):
    samples = [s for s in samples if s["t"] >= warmup]
    start_ms = (started_at + warmup) * 1000.0
    updates = [u for u in updates if u.local_ms >= start_ms]
    return samples, updates


def summarize(output, started_at, warmup):
    """Every figure of the soak in `output`, for the time after `warmup` s."""
    all_samples = read_samples(output / "samples.csv")
    all_updates = read_updates(output / "damage.txt")
    samples, updates = after_warmup(all_samples, all_updates, started_at, warmup)
    assert len(samples) >= 3, "too few samples after the warm-up: %d" % len(samples)
    events = read_events(output / "events.csv")
    figures = {
        "seconds": all_samples[-1]["t"],
        "quote_requests_after_warmup": int(samples[-1]["quotes"] - samples[0]["quotes"]),
        "warmup_s": warmup,
        "samples": len(samples),
        "quote_requests": int(all_samples[-1]["quotes"]),
        "message_requests": int(all_samples[-1]["messages"]),
        "steps": {action: sum(1 for e in events if e["action"] == action)
                  for action in sorted({e["action"] for e in events})},
        "failed_steps": [e for e in events if e["outcome"].startswith("failed")],
    }
    figures.update(memory_figures(samples))
    hours = (samples[-1]["t"] - samples[0]["t"]) / SECONDS_PER_HOUR
    downloads_per_hour = figures["quote_requests_after_warmup"] / hours if hours > 0 else 0.0
    figures["wine_download_growth_mb_per_hour"] = downloads_per_hour * WINE_BYTES_PER_DOWNLOAD / KB_PER_MB / KB_PER_MB
    figures["rss_growth_beyond_wine_mb_per_hour"] = \
        figures["rss_growth_mb_per_hour"] - figures["wine_download_growth_mb_per_hour"]
    figures.update(thread_figures(samples))
    figures.update(gap_figures(updates))
    return figures


def write_summary(output, figures):
    (output / "summary.json").write_text(json.dumps(figures, indent=2, sort_keys=True) + "\n")


def print_figures(figures):
    for key in sorted(figures):
        print("  %-32s %s" % (key, figures[key]))
