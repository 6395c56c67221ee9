"""Samples the running bar every few tenths of a second into a CSV file:
its resident memory and threads, and the requests the service has served."""

import csv
import threading
import time

from bar_process import read_status
from request_log import RequestLogReader

SAMPLE_FIELDS = ("t", "rss_kb", "threads", "quotes", "messages", "requests")


class Sampler:
    def __init__(self, pid, request_log, output, interval, started_at):
        self.pid = pid
        self.interval = interval
        self.started_at = started_at
        self.log = RequestLogReader(request_log)
        self.output = output
        self.samples = 0
        self.process_gone = False
        self._stop = threading.Event()
        self._thread = threading.Thread(target=self._run, name="soak-sampler", daemon=True)

    def start(self):
        self._thread.start()
        return self

    def stop(self):
        self._stop.set()
        self._thread.join()

    def _run(self):
        with open(self.output, "w", newline="") as file:
            writer = csv.writer(file)
            writer.writerow(SAMPLE_FIELDS)
            next_at = time.monotonic()
            while not self._stop.is_set():
                status = read_status(self.pid)
                self.log.poll()
                if status is None:
                    self.process_gone = True
                    return
                writer.writerow(("%.3f" % (time.time() - self.started_at), status.rss_kb, status.threads,
                                 self.log.quotes, self.log.messages, self.log.total))
                file.flush()
                self.samples += 1
                next_at += self.interval
                self._stop.wait(max(0.0, next_at - time.monotonic()))
