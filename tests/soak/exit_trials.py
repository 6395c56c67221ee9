"""What every exit trial needs: a place of its own for the bar, a command
posted at a chosen moment, the stored settings checked, and a record of
each trial's outcome for the report (exit-trials/<scenario>.csv under the
bench's work folder)."""

import csv
import os
import pathlib
import subprocess
import tempfile

from bar_view import wait_for
from program import BAR_TITLE, SETTING_NAMES, SETTINGS_KEY, SHOW_TIMEOUT, STORED_BAR_HEIGHT
from registry_values import REG_DWORD, REG_SZ, dword

# "full": the counts of the report; anything else: the few that CI runs.
TRIALS_VARIABLE = "VELMORIA_EXIT_TRIALS"
NARROWEST_STORED_BAR = 100
ARM_TIMEOUT = 30.0
POLL_INTERVAL = 0.02
OUTCOME_FIELDS = ("scenario", "trial", "moment_s", "outcome", "exit_code", "settings", "detail")


def trial_count(ci, full):
    return full if os.environ.get(TRIALS_VARIABLE) == "full" else ci


def place_for(trial):
    """A different place and width for every trial, all on the screen."""
    left = 40 + (trial * 37) % 600
    top = 60 + (trial * 53) % 800
    width = 300 + (trial * 29) % 300
    return (left, top, left + width, top + STORED_BAR_HEIGHT)


def place_values(rect):
    left, top, right, _ = rect
    return {"Top": dword(top), "Left": dword(left), "Right": dword(right)}


def stored_place(saved):
    """The rectangle the next start gives the bar, from the stored values."""
    if not saved or not all(name in saved for name in ("Top", "Left", "Right")):
        return None
    signed = lambda value: value.data - (1 << 32) if value.data >= 1 << 31 else value.data  # noqa: E731
    top, left, right = signed(saved["Top"]), signed(saved["Left"]), signed(saved["Right"])
    # A half-written save can pair a left edge with a right edge too close
    # to it: the start widens such a bar to the narrowest it allows.
    if left + NARROWEST_STORED_BAR >= right:
        left = right - NARROWEST_STORED_BAR
        if left < 0:
            left, right = 0, NARROWEST_STORED_BAR
    return (left, top, right, top + STORED_BAR_HEIGHT)


def move_bar(bench, rect):
    bench.wintool("move", BAR_TITLE, *rect)


def settings_problems(saved, expected):
    """What is wrong with the stored settings: a missing key or value, a
    wrong type, or a value other than expected ({name: RegValue}, or a
    {name: [RegValue, ...]} of values any of which is right)."""
    if saved is None:
        return ["no settings key"]
    problems = []
    for name in SETTING_NAMES:
        if name not in saved:
            problems.append("%s missing" % name)
        elif saved[name].type != (REG_SZ if name == "Symbols" else REG_DWORD):
            problems.append("%s is %s" % (name, saved[name].type))
    for name, wanted in expected.items():
        allowed = wanted if isinstance(wanted, list) else [wanted]
        if name in saved and saved[name] not in allowed:
            problems.append("%s is %r, not %s" % (name, saved[name].data, " or ".join(repr(a.data) for a in allowed)))
    return problems


class ArmedCommand:
    """A WM_COMMAND to the bar, sent the moment fire() is called: wintool
    is started beforehand and waits on its standard input."""

    def __init__(self, bench, command_id, title=BAR_TITLE):
        self._output = tempfile.NamedTemporaryFile(dir=bench.run_dir, delete=False)
        self._process = subprocess.Popen(["wine", str(bench.paths.wintool), "await-command", title, str(command_id)],
                                         env=bench.environment(), cwd=bench.run_dir, stdin=subprocess.PIPE,
                                         stdout=self._output, stderr=subprocess.STDOUT)
        path = pathlib.Path(self._output.name)
        wait_for(lambda: b"armed" in path.read_bytes(), ARM_TIMEOUT, interval=POLL_INTERVAL,
                 what="wintool await-command")

    def fire(self):
        self._process.stdin.write(b"go\n")
        self._process.stdin.close()

    def close(self):
        if self._process.stdin and not self._process.stdin.closed:
            self._process.stdin.close()  # wintool ends without posting
        try:
            self._process.wait(timeout=ARM_TIMEOUT)
        except subprocess.TimeoutExpired:
            self._process.kill()
            self._process.wait()
        self._output.close()
        os.unlink(self._output.name)
        return self._process.returncode


class OutcomeLog:
    """One CSV row per trial; the file is started afresh by each run."""

    def __init__(self, bench, scenario):
        folder = bench.paths.work / "exit-trials"
        folder.mkdir(parents=True, exist_ok=True)
        self.scenario = scenario
        self.path = folder / ("%s.csv" % scenario)
        self.failures = []
        with open(self.path, "w", newline="") as file:
            csv.writer(file).writerow(OUTCOME_FIELDS)

    def record(self, trial, moment, outcome, exit_code, problems, detail=""):
        with open(self.path, "a", newline="") as file:
            csv.writer(file).writerow((self.scenario, trial, "%.3f" % moment, outcome,
                                       "" if exit_code is None else exit_code,
                                       "intact" if not problems else "; ".join(problems), detail))
        if problems or exit_code not in (0, None):
            self.failures.append("trial %d (%s, moment %.3f s): exit %s; %s %s"
                                 % (trial, outcome, moment, exit_code, "; ".join(problems), detail))


def start_bar(bench, timeout=SHOW_TIMEOUT):
    program = bench.launch()
    return program, bench.wait_shown(BAR_TITLE, timeout=timeout, program=program)


def end_everything(bench):
    """After a failed trial: every process of the prefix ends, the
    registry is written."""
    subprocess.run(["wineserver", "-k"], env=bench.environment(), check=False, timeout=30)
