"""The README's run command as a new user runs it: scripts/run.sh from a
shell that has no Wine set up (no WINEARCH, no prefix: a fresh home
directory, Debian's own PATH) and no display, so it runs the bar in Xvfb
and saves a screenshot. It must pick the Windows build this machine can run,
make a prefix of that width, and show the bar with its quoted items in their
sign colours; then the same with --live against a local fake of the chart
source, while something else holds the program's port. In both, MSFT (the
default list's one quoted symbol) falls, so red on the bar can only be its
quote."""

import os
import pathlib
import socket
import subprocess
import sys

import pytest

from bar_view import GREEN, GRIP, GRIP_WIDTH, RED
from pixels import Image
from service import PROGRAM_PORT

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[2] / "service" / "tests"))
from fake_chart_api import FakeChart  # noqa: E402

ROOT = pathlib.Path(__file__).resolve().parents[2]
RUN = ROOT / "scripts" / "run.sh"
USER_PATH = "/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin"
RUN_TIMEOUT = 600  # a first run makes its prefix; the build is already there
MOST_BAR_HEIGHT = 40
# Enough pixels of a colour for a word drawn in it, not a stray shade.
TEXT_PIXELS = 20
SIGN_COLOURS = {"green": GREEN, "red": RED}
FALLING_MSFT = '"MSFT",179.50,"4:00PM",-1.28,179.00,181.28,180.78,4321000\r\n'


def user_environment(home):
    """What a user's login shell would have: no Wine choices of the tests."""
    environment = {"HOME": str(home), "PATH": USER_PATH, "LANG": "C.UTF-8"}
    for name in ("USER", "LOGNAME", "TMPDIR"):
        if name in os.environ:
            environment[name] = os.environ[name]
    return environment


def run(home, *arguments):
    result = subprocess.run([str(RUN), *arguments], env=user_environment(home), cwd=str(home),
                            capture_output=True, text=True, timeout=RUN_TIMEOUT)
    assert result.returncode == 0, "run.sh ended with %d:\n%s\n%s" % (
        result.returncode, result.stdout[-3000:], result.stderr[-3000:])
    return result


def sign_colours(image):
    return {name for name, colour in SIGN_COLOURS.items() if image.count(colour) >= TEXT_PIXELS}


def assert_is_the_bar(image):
    """A thin strip with a grip at each end (its size is its dialog
    template's, which the prefix's fonts set)."""
    assert image.height <= MOST_BAR_HEIGHT < image.width, \
        "the screenshot is %dx%d, not the bar" % (image.width, image.height)
    grips = image.columns_with(GRIP)
    assert grips and grips[0] < GRIP_WIDTH and grips[-1] >= image.width - GRIP_WIDTH, \
        "no grip at the ends of the screenshot"


@pytest.fixture(scope="module")
def home(tmp_path_factory):
    return tmp_path_factory.mktemp("fresh-home")


def test_the_run_command_shows_simulated_quotes_in_their_colours(home):
    # MSFT's simulated quote pinned to a fall, so that red can only come
    # from its quote (the default list's Help link is green).
    run(home, "shot.png", "--", "--pin", "MSFT:" + FALLING_MSFT)
    prefixes = list((home / ".local" / "share" / "velmoria").iterdir())
    assert len(prefixes) == 1, prefixes
    image = Image.load(home / "shot.png")
    assert_is_the_bar(image)
    assert "red" in sign_colours(image), "MSFT's falling quote is not on the bar in red"


def test_the_live_run_shows_the_sources_quotes_beside_a_taken_port(home):
    chart = FakeChart({"MSFT": (179.5, 180.78)})  # MSFT falls: red
    holder = socket.socket()
    try:
        # Something else listens on the program's port: the service must
        # still reach the bar.
        holder.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        holder.bind(("127.0.0.1", PROGRAM_PORT))
        holder.listen(8)
        result = run(home, "--live", "live.png", "--", "--provider-url", "chart=" + chart.base)
    finally:
        holder.close()
        chart.stop()
    assert "is taken" in result.stdout, result.stdout
    assert chart.counts["MSFT"] >= 1, "the bar's quotes did not come from the local source"
    image = Image.load(home / "live.png")
    assert_is_the_bar(image)
    assert "red" in sign_colours(image), "MSFT's falling quote from the source is not on the bar in red"
