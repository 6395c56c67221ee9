#!/usr/bin/python3
"""The exit trials in a table for the report, from the CSV files that
test_exit_trials.py writes (build/e2e/exit-trials/ by default):

    tests/soak/exit_report.py [FOLDER]

One row per scenario: trials, how many ended with code 0, how many left
the settings intact (read by the next start, which always came up), and
how the trials fell among the moments."""

import collections
import csv
import pathlib
import sys

ROOT = pathlib.Path(__file__).resolve().parents[2]
SCENARIOS = (
    ("slow-pass", "Exit while a pass waits for a slow source"),
    ("message-rebuild", "Exit while the server message rebuilds the items"),
    ("entry-bar", "Exit while the entry bar is open"),
    ("second-start", "A second start while the first saves"),
    ("killed", "Killed outright, then started again"),
)


def rows(path):
    with open(path, newline="") as file:
        return list(csv.DictReader(file))


def outcome_summary(trials):
    # "ended in 0.03 s" varies by trial: the slowest stands for them all.
    ended = [t for t in trials if t["outcome"].startswith("ended in ")]
    counts = collections.Counter(t["outcome"] for t in trials if t not in ended)
    parts = ["%d %s" % (n, outcome) for outcome, n in sorted(counts.items(), key=lambda item: -item[1])]
    if ended:
        slowest = max(float(t["outcome"].split()[2]) for t in ended)
        parts.insert(0, "%d ended, the slowest in %.2f s" % (len(ended), slowest))
    return "; ".join(parts)


def main():
    folder = pathlib.Path(sys.argv[1]) if len(sys.argv) > 1 else ROOT / "build" / "e2e" / "exit-trials"
    print("| Scenario | Trials | Ended with 0 | Settings intact | Outcomes |")
    print("|---|---|---|---|---|")
    total = lost = 0
    for name, title in SCENARIOS:
        path = folder / ("%s.csv" % name)
        if not path.exists():
            continue
        trials = rows(path)
        killed = name == "killed"
        clean = sum(1 for t in trials if t["exit_code"] == ("" if killed else "0") and t["outcome"] != "failed")
        intact = sum(1 for t in trials if t["settings"] == "intact")
        total += len(trials)
        lost += len(trials) - intact
        ended = "none: killed" if killed else "%d" % clean
        print("| %s | %d | %s | %d | %s |" % (title, len(trials), ended, intact, outcome_summary(trials)))
    print()
    print("%d trials, %d with settings lost or wrong." % (total, lost))


if __name__ == "__main__":
    main()
