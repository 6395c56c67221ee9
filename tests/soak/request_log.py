"""Reads the stand-in service's request log as it grows, without reading
it whole every time."""

from service import Request

QUOTE_PATHS = ("/d/quotes.csv", "/uk/quotes.csv")
MESSAGE_PATH = "/getmessage.asp"


class RequestLogReader:
    def __init__(self, path):
        self.path = path
        self._offset = 0
        self._partial = b""
        self.quotes = 0
        self.messages = 0
        self.total = 0

    def poll(self):
        """Reads what was added since the last call; the new Requests."""
        try:
            with open(self.path, "rb") as log:
                log.seek(self._offset)
                data = log.read()
        except FileNotFoundError:
            return []
        self._offset += len(data)
        lines = (self._partial + data).split(b"\n")
        self._partial = lines.pop()  # an unfinished last line waits for its end
        requests = [Request.parse(line.decode(errors="replace")) for line in lines if line]
        for request in requests:
            self.total += 1
            self.quotes += request.path in QUOTE_PATHS
            self.messages += request.path == MESSAGE_PATH
        return requests
