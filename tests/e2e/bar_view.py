"""The bar as the screen shows it: its image, the columns its texts take in
each colour, and waiting for what a test expects to see."""

import time

from pixels import Image, rgb

GREEN, BLUE, RED = rgb("#006600"), rgb("#0000CC"), rgb("#DD0000")
GRIP = rgb("#990099")
GRIP_WIDTH = 5
# The logo's two colours (bitmap 206).
LOGO = (rgb("#000080"), rgb("#008000"))


def bar_image(bench, bar, name):
    return Image.load(bench.screenshot(name, (bar.left, bar.top, bar.right, bar.bottom)))


def wait_for(condition, timeout, interval=0.1, what="the condition", service=None):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        value = condition()
        if value:
            return value
        time.sleep(interval)
    log = "" if service is None else "\nrequests:\n" + "\n".join(map(str, service.requests()))
    raise AssertionError("%s did not come within %.1f s%s" % (what, timeout, log))


def text_columns(image, colour):
    """Columns of the text in a colour, the grips left out."""
    return [x for x in image.columns_with(colour) if GRIP_WIDTH <= x < image.width - GRIP_WIDTH]


def logo_columns(image):
    return sorted(set(x for colour in LOGO for x in text_columns(image, colour)))
