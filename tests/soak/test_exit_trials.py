"""Exits at the worst moments, each tried again and again: every trial must
end with code 0, leave the nine settings intact, and the next start must
read them (it shows the bar where the trial left it). Each trial moves the
bar to a place of its own first, so every save is seen. Outcomes go to
exit-trials/<scenario>.csv for the report; VELMORIA_EXIT_TRIALS=full runs
the report's counts instead of the few CI runs."""

import os
import signal
import subprocess
import time

from exit_trials import (ArmedCommand, OutcomeLog, end_everything, move_bar, place_for, place_values,
                         POLL_INTERVAL, settings_problems, start_bar, stored_place, trial_count)
from bar_process import bar_x_window, x_window_pid
from bar_view import wait_for
from bench import BenchError
from entry_bar import open_entry_bar, shown_entry_bars, type_into_entry_bar
from program import (ALREADY_RUNNING_CAPTION, BAR_TITLE, DEFAULT_OPTIONS, EXIT_COMMAND, EXIT_TIMEOUT, SETTINGS_KEY,
                     SHOW_TIMEOUT, store_settings)
from registry_values import dword, sz
from request_log import MESSAGE_PATH, QUOTE_PATHS
from service import PROGRAM_PORT, StandInService
from win32_constants import IDOK

# Exit must not wait for a download that takes a minute.
PROMPT_EXIT = 5.0
REQUEST_TIMEOUT = 30.0



def run_trials(bench, log, count, symbols, update_ms, trial, prepare=lambda n: None):
    """Stores the first place and the options, then for n in 0..count-1:
    prepare(n), starts the bar from what the last trial stored, moves it to
    a new place, arms Exit and runs trial(n, program, the place it started
    at, the new place, the armed Exit), which returns (moment, outcome,
    exit code, the place values expected now); then checks what is
    stored."""
    options = {**DEFAULT_OPTIONS, "Symbols": sz(symbols), "Update": dword(update_ms)}
    place = place_for(0)
    store_settings(bench, {**place_values(place), **options})
    for n in range(count):
        prepare(n)
        program, bar = start_bar(bench)
        if bar.rect != place:
            log.record(n, 0, "started elsewhere", None, ["the bar stands at %s, not %s" % (bar.rect, place)])
        try:
            new_place = place_for(n + 1)
            move_bar(bench, new_place)
            exit_command = ArmedCommand(bench, EXIT_COMMAND)
            try:
                moment, outcome, code, expected_place = trial(n, program, bar.rect, new_place, exit_command)
            finally:
                exit_command.close()
        except (AssertionError, BenchError) as error:
            log.record(n, 0, "failed", None, [str(error)])
            end_everything(bench)
            continue
        saved = bench.query_key(SETTINGS_KEY)
        log.record(n, moment, outcome, code, settings_problems(saved, {**expected_place, **options}))
        place = stored_place(saved) or place
    assert not log.failures, "%d of %d trials failed:\n%s" % (len(log.failures), count, "\n".join(log.failures))


SLOW_SYMBOL = "SLOW"
SLOW_PASS_SYMBOLS = "IBM, SLOW, MSFT, VOD.L, GE"
# Exit comes this long after the slow request was asked for, in turn: in
# the middle of the download, the worker blocked.
SLOW_MOMENTS = (0.0, 0.05, 0.2, 0.5, 1.0)


def test_exit_while_a_pass_waits_for_a_slow_source(bench):
    log = OutcomeLog(bench, "slow-pass")
    arguments = ["--message", "", "--fault", "/d/quotes.csv#%s=slow:60000" % SLOW_SYMBOL]
    with StandInService(bench.run_dir, PROGRAM_PORT, arguments) as service:
        def slow_requests():
            return len([r for r in service.requests() if r.path in QUOTE_PATHS and r.symbol == SLOW_SYMBOL])

        asked = {}

        def prepare(n):
            asked["before"] = slow_requests()

        def trial(n, program, place, new_place, exit_command):
            wait_for(lambda: slow_requests() > asked["before"], REQUEST_TIMEOUT, interval=POLL_INTERVAL,
                     what="the slow quote request")
            moment = SLOW_MOMENTS[n % len(SLOW_MOMENTS)]
            time.sleep(moment)
            fired = time.monotonic()
            exit_command.fire()
            code = program.wait(EXIT_TIMEOUT)
            took = time.monotonic() - fired
            if took > PROMPT_EXIT:
                code = "late"  # recorded as a failure
            return moment, "ended in %.2f s" % took, code, place_values(new_place)

        run_trials(bench, log, trial_count(ci=24, full=120), SLOW_PASS_SYMBOLS, 300000, trial, prepare)


# The message: many link items (no quotes of their own), new for each trial.
MESSAGE_ENTRIES = 200
# Long enough for the bench to move the bar and arm Exit before the answer.
MESSAGE_DELAY_MS = 3000
# Exit this long after the message's answer is due: before, during and
# after the rebuild of the items.
REBUILD_MOMENTS = (-0.1, -0.02, 0.0, 0.001, 0.002, 0.003, 0.005, 0.01, 0.02, 0.04, 0.08, 0.15, 0.3)
REBUILD_SYMBOLS = ", ".join("R%03d" % n for n in range(1, 51))


def message_for(trial):
    return ", ".join("Flash %03d-%03d<{host}/news.html>" % (trial, n) for n in range(1, MESSAGE_ENTRIES + 1))


def set_message_and_clock(service, text):
    """Sets the message; the local monotonic time at the service's time 0,
    from when the control request was logged (within a millisecond or so)."""
    before = time.monotonic()
    service.control("message", text=text)
    after = time.monotonic()
    logged = [r for r in service.requests() if r.path == "/control/message"][-1]
    return (before + after) / 2 - logged.time_ms / 1000.0


def test_exit_while_the_server_message_rebuilds_the_items(bench):
    log = OutcomeLog(bench, "message-rebuild")
    arguments = ["--message", "", "--fault", "%s=slow:%d" % (MESSAGE_PATH, MESSAGE_DELAY_MS)]
    with StandInService(bench.run_dir, PROGRAM_PORT, arguments) as service:
        state = {}

        def prepare(n):
            state["clock"] = set_message_and_clock(service, message_for(n))
            state["mark"] = len(service.requests())

        def trial(n, program, place, new_place, exit_command):
            first = wait_for(lambda: [r for r in service.requests()[state["mark"]:] if r.path == MESSAGE_PATH],
                             REQUEST_TIMEOUT, interval=POLL_INTERVAL, what="the message request")[0]
            moment = REBUILD_MOMENTS[n % len(REBUILD_MOMENTS)]
            due = state["clock"] + (first.time_ms + MESSAGE_DELAY_MS) / 1000.0 + moment
            assert time.monotonic() < due, "the moment had passed when Exit was armed"
            time.sleep(due - time.monotonic())
            exit_command.fire()
            code = program.wait(EXIT_TIMEOUT)
            # Quotes asked for after the answer: the rebuild was done and a
            # pass had begun before Exit.
            passes = [r for r in service.requests()[state["mark"]:]
                      if r.path in QUOTE_PATHS and r.time_ms >= first.time_ms + MESSAGE_DELAY_MS]
            outcome = "pass had begun" if passes else "no pass yet"
            return moment, outcome, code, place_values(new_place)

        run_trials(bench, log, trial_count(ci=10, full=60), REBUILD_SYMBOLS, 300000, trial, prepare)


# The second start comes this long before Exit is chosen in the first:
# its start-up under Wine takes about as long, so its check of the running
# bar and its reading of the settings fall before, into and after the save.
SECOND_MOMENTS = (0.0, 0.01, 0.02, 0.03, 0.04, 0.05, 0.06, 0.07, 0.08, 0.1, 0.15, 0.25)
REFUSED = "refused"
STARTED = "started"


def second_instance_state(bench):
    """X names match without regard to case ("Velmoria" and "VELMORIA"),
    so the titles are asked of Windows."""
    titles = {w.title for w in bench.windows() if w.visible}
    if ALREADY_RUNNING_CAPTION in titles:
        return REFUSED
    if BAR_TITLE in titles:
        return STARTED
    return None


def test_a_second_start_while_the_first_saves(bench):
    log = OutcomeLog(bench, "second-start")
    with StandInService(bench.run_dir, PROGRAM_PORT, ["--message", ""]):
        def trial(n, program, place, new_place, exit_command):
            moment = SECOND_MOMENTS[n % len(SECOND_MOMENTS)]
            second = bench.launch()
            time.sleep(moment)
            exit_command.fire()
            first_code = program.wait(EXIT_TIMEOUT)
            state = wait_for(lambda: second_instance_state(bench), SHOW_TIMEOUT, interval=POLL_INTERVAL,
                             what="the second start's window")
            if state == REFUSED:
                bench.press(ALREADY_RUNNING_CAPTION, IDOK)
                second_code = second.wait(EXIT_TIMEOUT)
                outcome = REFUSED
            else:
                bar = bench.wait_shown(BAR_TITLE, SHOW_TIMEOUT, second)
                read = "the new place" if bar.rect == new_place else \
                    "the old place" if bar.rect == place else "a mix %s" % (bar.rect,)
                bench.command(BAR_TITLE, EXIT_COMMAND)
                second_code = second.wait(EXIT_TIMEOUT)
                outcome = "%s, read %s" % (STARTED, read)
            code = first_code if first_code != 0 else second_code
            # Each value is either the old one or the one the first saved.
            old, new = place_values(place), place_values(new_place)
            return moment, outcome, code, {name: [old[name], new[name]] for name in old}

        run_trials(bench, log, trial_count(ci=8, full=44), "IBM, MSFT", 300000, trial)


# Killed this long after Exit was chosen (None: while running, no Exit):
# before, during and after the save. Exit reaches the bar some
# milliseconds after it is chosen and the save takes a fraction of one, so
# most moments lie around there.
KILL_MOMENTS = (None, 0.0, 0.008, 0.012, 0.014, 0.016, 0.018, 0.020, 0.022, 0.024, 0.027, 0.030, 0.06, 0.12)


def test_killed_outright_the_next_start_reads_the_last_save(bench):
    log = OutcomeLog(bench, "killed")
    with StandInService(bench.run_dir, PROGRAM_PORT, ["--message", ""]):
        def trial(n, program, place, new_place, exit_command):
            pid = x_window_pid(bench, bar_x_window(bench))
            assert pid is not None, "no process for the bar's window"
            moment = KILL_MOMENTS[n % len(KILL_MOMENTS)]
            if moment is not None:
                exit_command.fire()
                time.sleep(moment)
            os.kill(pid, signal.SIGKILL)
            program.wait(EXIT_TIMEOUT)
            # Every other time the whole session ends too, and the next
            # start reads the registry from the prefix's files.
            if n % 2:
                end_everything(bench)
            old, new = place_values(place), place_values(new_place)
            saved = bench.query_key(SETTINGS_KEY) or {}
            kept = [name for name in old if saved.get(name) == new[name]]
            outcome = "saved" if len(kept) == len(old) else "partly saved" if kept else "nothing saved"
            if n % 2:
                outcome += ", session ended"
            return -1.0 if moment is None else moment, outcome, None, \
                {name: [old[name], new[name]] for name in old}

        run_trials(bench, log, trial_count(ci=10, full=60), "IBM, MSFT", 300000, trial)


# What the entry bar holds when Exit comes: the list as it opened, a new
# entry typed at its end, or a new entry still being typed.
ENTRY_STATES = ("as opened", "typed", "being typed")
TYPING_DELAY_MS = "40"


def test_exit_while_the_entry_bar_is_open(bench):
    log = OutcomeLog(bench, "entry-bar")
    with StandInService(bench.run_dir, PROGRAM_PORT, ["--message", ""]):
        def trial(n, program, place, new_place, exit_command):
            assert open_entry_bar(bench) is not None, "the entry bar did not open"
            opened = time.monotonic()
            state = ENTRY_STATES[n % len(ENTRY_STATES)]
            typing = None
            if state == "typed":
                type_into_entry_bar(bench, keys_before=("End",), text=", NEW%d" % n, keys_after=())
            elif state == "being typed":
                typing = subprocess.Popen(["xdotool", "type", "--delay", TYPING_DELAY_MS, ", NEWER%d" % n],
                                          env=bench.environment())
                time.sleep(0.1)
            moment = time.monotonic() - opened
            exit_command.fire()
            code = program.wait(EXIT_TIMEOUT)
            if typing is not None:
                typing.wait()
            assert not shown_entry_bars(bench), "the entry bar outlived the program"
            # Exit saves the list as it was: what was typed was never taken.
            return moment, "entry bar %s" % state, code, place_values(new_place)

        run_trials(bench, log, trial_count(ci=8, full=40), "IBM, MSFT", 300000, trial)
