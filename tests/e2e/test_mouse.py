"""The left mouse button on the real program, with real input: dragging
moves the bar and, with snapping on, pulls it to the edge it comes near;
the grips change its width but never to 100 pixels or less; a click on an
item or on the logo opens exactly its page; a drag ends when the menu takes
the mouse."""

import time

import menus
import pointer
from bar_view import BLUE, GREEN, bar_image, logo_columns, text_columns, wait_for
from program import (DETAIL_PAGE, HOME_SITE, bar_now, browsed, exit_bar, placed, saved_value,
                     start_with_settings)
from registry_values import dword, sz
from service import PROGRAM_PORT, StandInService

LEFT, TOP, WIDTH, HEIGHT = 100, 300, 1000, 18
MIDDLE = HEIGHT // 2
UP = '"UP",10.5,"4:00PM",+0.5,10,11,10,100\r\n'
NEWS = '"NEWS",1,"4:00PM",0.00,1,1,1,0\r\n'
NEWS_LINK = "127.0.0.1:%d/news.html" % PROGRAM_PORT
SERVICE = ["--message", "", "--pin", "UP:" + UP, "--pin", "NEWS:" + NEWS]
ON_SHOW_TIMEOUT = 30.0
BROWSER_TIMEOUT = 20.0
NOTHING_OPENS = 2.0  # seconds in which a click that hits nothing opens nothing


def start(bench, snapping=0, speed=1, symbols="UP"):
    stored = {**placed(LEFT, TOP, WIDTH), "Snapping": dword(snapping), "Speed": dword(speed),
              "Symbols": sz(symbols)}
    return start_with_settings(bench, stored)


def drag_bar(bench, grab, moves):
    """Presses at screen point `grab` and moves the pointer through `moves`
    (screen points); the bar's window afterwards."""
    pointer.drag(bench, grab, moves)
    time.sleep(0.3)
    return bar_now(bench)


def test_dragging_moves_the_bar_and_a_settings_command_stores_where(bench):
    with StandInService(bench.run_dir, PROGRAM_PORT, SERVICE):
        program, bar = start(bench)
        grab = (LEFT + 500, TOP + MIDDLE)
        moved = drag_bar(bench, grab, [(grab[0] + 20, grab[1] + 10), (grab[0] + 50, grab[1] + 30)])
        assert moved.rect == (LEFT + 50, TOP + 30, LEFT + WIDTH + 50, TOP + 30 + HEIGHT)
        assert saved_value(bench, "Top") == dword(TOP), "a move alone stores nothing"
        menus.choose(bench, moved, "Always On Top")
        assert (saved_value(bench, "Left"), saved_value(bench, "Top")) == (dword(LEFT + 50), dword(TOP + 30))
        exit_bar(bench, program)


def test_with_snapping_the_bar_pulls_to_the_top_edge_within_its_height(bench):
    with StandInService(bench.run_dir, PROGRAM_PORT, SERVICE):
        program, bar = start(bench, snapping=1)
        grab = (LEFT + 500, TOP + MIDDLE)
        # Top at 40: further than its height from the edge, so it stays.
        moved = drag_bar(bench, grab, [(grab[0], grab[1] - 100), (grab[0], grab[1] - (TOP - 40))])
        assert moved.top == 40
        # Top at 10: within 18 pixels, so it goes to 0.
        grab = (LEFT + 500, 40 + MIDDLE)
        moved = drag_bar(bench, grab, [(grab[0], grab[1] - 30)])
        assert moved.rect == (LEFT, 0, LEFT + WIDTH, HEIGHT)
        exit_bar(bench, program)


def test_the_grips_resize_the_bar_but_never_to_100_pixels_or_less(bench):
    with StandInService(bench.run_dir, PROGRAM_PORT, SERVICE):
        program, bar = start(bench)
        right = LEFT + WIDTH
        # The left grip: the left edge follows the pointer, 2 pixels left of it.
        resized = drag_bar(bench, (LEFT + 2, TOP + MIDDLE), [(LEFT - 48, TOP + MIDDLE)])
        assert resized.rect == (LEFT - 50, TOP, right, TOP + HEIGHT)
        # Up to 104 pixels wide, then a step that would leave 100 is ignored.
        resized = drag_bar(bench, (LEFT - 48, TOP + MIDDLE),
                           [(right - 102, TOP + MIDDLE), (right - 98, TOP + MIDDLE)])
        assert resized.rect == (right - 104, TOP, right, TOP + HEIGHT)

        # The right grip: the right edge jumps to the pointer.
        left = right - 104
        resized = drag_bar(bench, (right - 2, TOP + MIDDLE), [(right + 150, TOP + MIDDLE)])
        assert resized.rect == (left, TOP, right + 150, TOP + HEIGHT)
        resized = drag_bar(bench, (right + 148, TOP + MIDDLE),
                           [(left + 101, TOP + MIDDLE), (left + 100, TOP + MIDDLE), (left + 40, TOP + MIDDLE)])
        assert resized.rect == (left, TOP, left + 101, TOP + HEIGHT), "101 pixels is the narrowest"
        exit_bar(bench, program)


def test_a_drag_ends_when_the_menu_takes_the_mouse(bench):
    """Left press, right press: the menu takes the mouse and the left
    release never reaches the bar. Once the menu is gone, the pointer moves
    with no button held and the bar stays where it is; a press on the middle
    then moves the bar, although the first press was on the right grip."""
    with StandInService(bench.run_dir, PROGRAM_PORT, SERVICE):
        program, bar = start(bench)
        right_grip = (LEFT + WIDTH - 2, TOP + MIDDLE)
        pointer.move(bench, *right_grip)
        pointer.xdotool(bench, "mousedown", 1)
        time.sleep(pointer.STEP_PAUSE)
        pointer.xdotool(bench, "mousedown", 3)
        time.sleep(pointer.STEP_PAUSE)
        pointer.xdotool(bench, "mouseup", 3)
        menus.wait_for_menus(bench, 1)
        pointer.xdotool(bench, "mouseup", 1)
        time.sleep(pointer.STEP_PAUSE)
        menus.close_menus(bench)
        time.sleep(0.3)
        assert bar_now(bench).rect == bar.rect, "the menu and its closing moved nothing"

        # In steps that stay over the bar, so that the bar sees each move.
        for step in range(1, 6):
            pointer.move(bench, right_grip[0] - 20 * step, right_grip[1] + step)
        time.sleep(0.3)
        assert bar_now(bench).rect == bar.rect, "the bar followed the pointer with no button held"

        grab = (LEFT + 500, TOP + MIDDLE)
        moved = drag_bar(bench, grab, [(grab[0] + 20, grab[1] + 10), (grab[0] + 40, grab[1] + 20)])
        assert moved.rect == (LEFT + 40, TOP + 20, LEFT + WIDTH + 40, TOP + 20 + HEIGHT), \
            "a press on the middle moves the bar, whatever the press before was on"
        exit_bar(bench, program)


def test_a_click_opens_the_page_of_the_item_or_the_logo(bench):
    with StandInService(bench.run_dir, PROGRAM_PORT, SERVICE):
        program, bar = start(bench, speed=3, symbols="UP, News<%s>" % NEWS_LINK)

        def all_on_show():
            image = bar_image(bench, bar, "ring.png")
            spans = [logo_columns(image), text_columns(image, GREEN), text_columns(image, BLUE)]
            whole = all(spans) and all(WIDTH - 200 > s[-1] and s[0] > 10 for s in spans)
            return spans if whole else None

        wait_for(all_on_show, ON_SHOW_TIMEOUT, what="the logo, UP and NEWS wholly on the bar")
        menus.choose(bench, bar, "Scroll Speed", "Stop")
        time.sleep(0.3)
        logo, up, news = wait_for(all_on_show, ON_SHOW_TIMEOUT, what="the stopped ring")

        def middle(columns):
            return (columns[0] + columns[-1]) // 2

        expected = [
            (middle(up), DETAIL_PAGE % ("s", "UP")),
            (middle(news), DETAIL_PAGE % ("url", "http://" + NEWS_LINK)),
            (middle(logo), HOME_SITE),
        ]
        for count, (x, address) in enumerate(expected, start=1):
            pointer.click(bench, bar.left + x, bar.top + MIDDLE)
            wait_for(lambda: len(browsed(bench)) == count, BROWSER_TIMEOUT, what="the page for x=%d" % x)
            assert browsed(bench)[-1] == address

        # Where nothing stands, a click opens nothing.
        pointer.click(bench, bar.left + WIDTH - 100, bar.top + MIDDLE)
        time.sleep(NOTHING_OPENS)
        assert len(browsed(bench)) == len(expected)
        exit_bar(bench, program)
