"""The soak of the real bar under Wine: 200 symbols, a 10-second update
interval, full scrolling speed, the data fields changed every minute, the
symbol list every few minutes and the server message now and then, while
the bar's memory, threads, requests and every update of its window are
recorded. Every change is checked in the stored settings, and so is Exit
at the end.

Writes into its output folder:
  samples.csv  t, rss_kb, threads, quotes, messages, requests (every sample)
  damage.txt   every update of the bar's X window (tools/damage_watch)
  events.csv   t, action, detail, outcome of every scenario step
"""

import csv
import dataclasses
import pathlib
import time

from bar_commands import DATA_FIELD_ROTATION, DEFAULT_MASK, SPEED_FAST, UPDATE_NOW, mask_after
from bar_process import bar_x_window, x_window_pid
from damage_watcher import DamageWatcher
from entry_bar import open_entry_bar, type_into_entry_bar, wait_entry_bar_closed
from program import BAR_TITLE, EXIT_COMMAND, EXIT_TIMEOUT, SETTINGS_KEY, start_with_settings
from registry_values import dword, sz
from service import PROGRAM_PORT, StandInService
from soak_sampler import Sampler

BAR_TOP, BAR_LEFT, BAR_WIDTH = 200, 100, 423
FASTEST_SPEED = 5
UPDATE_INTERVAL_MS = 10000
SYMBOL_COUNT = 200
# Every tenth symbol is quoted by the "uk" source, whose answers have a
# line of column titles first.
UK_EVERY = 10
# The server messages the soak goes through: two links, twenty links, none.
MESSAGES = (
    "Market News<{host}/news.html>, Market Hours<{host}/news.html#hours>",
    ", ".join("Flash %02d<{host}/news.html>" % n for n in range(1, 21)),
    "",
)
SETTINGS_CHECK_TIMEOUT = 10.0
CHECK_INTERVAL = 0.5


def soak_symbols():
    return ", ".join("S%03d.L" % n if n % UK_EVERY == 0 else "S%03d" % n for n in range(1, SYMBOL_COUNT + 1))


@dataclasses.dataclass(frozen=True)
class Schedule:
    """How long the soak runs and how often each step comes, in seconds."""
    seconds: float
    warmup: float
    sample: float = 0.5
    data_field: float = 60.0
    symbols: float = 180.0
    message: float = 150.0
    update_now: float = 420.0


@dataclasses.dataclass
class SoakOutcome:
    output: pathlib.Path
    started_at: float  # wall clock of t = 0 in samples.csv and events.csv
    problems: list
    exit_code: int = None


class SoakRun:
    def __init__(self, bench, schedule, output):
        self.bench = bench
        self.schedule = schedule
        self.output = pathlib.Path(output)
        self.output.mkdir(parents=True, exist_ok=True)
        self.symbols = soak_symbols()
        self.mask = DEFAULT_MASK
        self.problems = []
        self._events = []
        self._started_at = None
        self._service = None
        self._program = None
        self._added = 0
        self._message = 0
        self._data_field = 0

    def settings(self):
        return {"Top": dword(BAR_TOP), "Left": dword(BAR_LEFT), "Right": dword(BAR_LEFT + BAR_WIDTH),
                "Speed": dword(FASTEST_SPEED), "Update": dword(UPDATE_INTERVAL_MS),
                "DataMask": dword(self.mask), "Symbols": sz(self.symbols)}

    # -- the run ----------------------------------------------------------------

    def run(self):
        arguments = ["--message", MESSAGES[0]]
        with StandInService(self.bench.run_dir, PROGRAM_PORT, arguments) as self._service:
            self._program, _ = start_with_settings(self.bench, self.settings())
            self._started_at = time.time()
            x_window = bar_x_window(self.bench)
            pid = x_window_pid(self.bench, x_window)
            assert pid is not None, "no _NET_WM_PID on the bar's X window %s" % x_window
            watcher = DamageWatcher(self.bench, x_window, self.output / "damage.txt")
            sampler = Sampler(pid, self._service.log, self.output / "samples.csv", self.schedule.sample,
                              self._started_at).start()
            try:
                self._step("speed", "Fast", lambda: self.bench.command(BAR_TITLE, SPEED_FAST))
                self._run_steps()
            finally:
                sampler.stop()
                complaint = watcher.stop()
                if complaint:
                    self.problems.append("damage_watch: " + complaint.strip())
                self._write_events()
            exit_code = self._exit()
        if sampler.process_gone and exit_code is None:
            self.problems.append("the bar's process ended during the soak")
        return SoakOutcome(self.output, self._started_at, self.problems, exit_code)

    def _run_steps(self):
        s = self.schedule
        steps = [(s.data_field, self._change_data_field), (s.symbols, self._change_symbols),
                 (s.message, self._change_message), (s.update_now, self._update_now)]
        due = [period for period, _ in steps]
        while True:
            now = self._now()
            if now >= s.seconds:
                return
            if not self._program.running():
                self.problems.append("the program ended at %.0f s:\n%s" % (now, self._program.log()))
                return
            index = min(range(len(steps)), key=lambda i: due[i])
            if due[index] > now:
                time.sleep(min(due[index], s.seconds) - now)
                continue
            steps[index][1]()
            due[index] += steps[index][0]

    def _exit(self):
        """Exit at the end: code 0 and every setting as the run left it."""
        self.bench.command(BAR_TITLE, EXIT_COMMAND)
        try:
            code = self._program.wait(EXIT_TIMEOUT)
        except AssertionError as error:
            self.problems.append(str(error))
            return None
        if code != 0:
            self.problems.append("exit code %d" % code)
        saved = self.bench.query_key(SETTINGS_KEY)
        wrong = {k: (saved or {}).get(k) for k, v in self.settings().items() if (saved or {}).get(k) != v}
        if wrong:
            self.problems.append("after Exit the stored settings differ: %s" % wrong)
        return code

    # -- steps ------------------------------------------------------------------

    def _now(self):
        return time.time() - self._started_at

    def _step(self, action, detail, do):
        at = self._now()
        try:
            outcome = do() or "ok"
        except Exception as error:  # a failed step is recorded; the soak goes on
            outcome = "failed: %s" % error
            self.problems.append("%s %s at %.0f s: %s" % (action, detail, at, error))
        self._events.append((round(at, 3), action, detail, outcome))

    def _change_data_field(self):
        command = DATA_FIELD_ROTATION[self._data_field % len(DATA_FIELD_ROTATION)]
        self._data_field += 1

        def do():
            self.bench.command(BAR_TITLE, command)
            self.mask = mask_after(self.mask, command)
            return self._check_stored("DataMask", dword(self.mask))
        self._step("data field", str(command), do)

    def _change_symbols(self):
        adding = self._added % 2 == 0
        tail = ", ADD%d" % (self._added // 2 + 1)
        self._added += 1

        def do():
            if open_entry_bar(self.bench) is None:
                raise AssertionError("the entry bar did not open")
            if adding:
                type_into_entry_bar(self.bench, keys_before=("End",), text=tail)
                self.symbols += tail
            else:
                type_into_entry_bar(self.bench, keys_before=("End",) + ("BackSpace",) * len(tail))
                self.symbols = self.symbols[:-len(tail)]
            if not wait_entry_bar_closed(self.bench):
                raise AssertionError("the entry bar did not close")
            return self._check_stored("Symbols", sz(self.symbols))
        self._step("symbols", ("add" if adding else "remove") + tail, do)

    def _change_message(self):
        self._message += 1
        text = MESSAGES[self._message % len(MESSAGES)]
        self._step("message", "%d entries" % (text.count(",") + 1 if text else 0),
                   lambda: self._service.control("message", text=text))

    def _update_now(self):
        self._step("update now", "", lambda: self.bench.command(BAR_TITLE, UPDATE_NOW))

    def _check_stored(self, name, expected):
        """Waits until the stored value is `expected`; fails when it does not come."""
        deadline = time.monotonic() + SETTINGS_CHECK_TIMEOUT
        while True:
            stored = (self.bench.query_key(SETTINGS_KEY) or {}).get(name)
            if stored == expected:
                return "stored"
            if time.monotonic() > deadline:
                raise AssertionError("%s stored as %r, not %r" % (name, stored, expected))
            time.sleep(CHECK_INTERVAL)

    def _write_events(self):
        with open(self.output / "events.csv", "w", newline="") as file:
            writer = csv.writer(file)
            writer.writerow(("t", "action", "detail", "outcome"))
            writer.writerows(self._events)
