#include "service/pages/html.h"
#include "service/pages/pages.h"

namespace service {

namespace {

const char* const kHelpBody = R"(<h1>Velmoria On-Line Help</h1>

<h2 id="about">What Velmoria is</h2>
<p>Velmoria is a small stock ticker for your desktop: a thin bar without a border or a task-bar button that
normally stays on top of your other windows. Across it scroll, from right to left, the Velmoria logo and one
item for each symbol in your list, followed by the quote fields you have chosen. News items from the Velmoria
site scroll along with them. Quotes are fetched again in the background at the update frequency you choose,
while the bar keeps scrolling. Your symbols and all settings are kept from one run to the next. Only one
Velmoria runs on a desktop at a time.</p>

<h2 id="mouse">Using the mouse</h2>
<ul>
<li><b>Move the bar:</b> press the left mouse button anywhere on the bar and drag it where you want it.</li>
<li><b>Change its width:</b> drag one of the grips at its two ends. The bar never gets narrower than about
100 pixels.</li>
<li><b>See an item's details:</b> click the item. For a symbol your browser opens its detail page, with the
current quote and a chart of its recent prices; for a news item it opens the item's page.</li>
<li><b>Visit the home site:</b> click the logo.</li>
<li><b>Change settings:</b> right-click anywhere on the bar to open the menu.</li>
</ul>

<h2 id="menu">The right-click menu</h2>
<dl>
<dt><b>Visit ...</b></dt><dd>Opens the Velmoria home site in your browser.</dd>
<dt><b>Velmoria On-Line Help</b></dt><dd>Opens this page.</dd>
<dt><b>Add/Remove Symbols...</b></dt><dd>Opens a one-line bar above or below the ticker, as wide as the
ticker, with your symbol list after the prompt <b>Symbols:</b>. Edit the list and press <b>OK</b> (or Enter)
to keep it, or <b>Cancel</b> (or Esc) to leave it as it was. The ticker then starts again from its right
edge with the new list.</dd>
<dt><b>Scroll Speed</b></dt><dd><b>Stop</b>, <b>Slow</b>, <b>Medium</b> or <b>Fast</b>. Stop holds the
items where they are.</dd>
<dt><b>Update Frequency</b></dt><dd>How often fresh quotes are fetched: <b>Off</b>, <b>2 minutes</b>,
<b>5 minutes</b>, <b>10 minutes</b> or <b>30 minutes</b>. <b>Update Now</b> fetches them once, half a second
later, and keeps the frequency you had.</dd>
<dt><b>Data</b></dt><dd>The quote fields shown after each symbol (see <a href="#fields">Quote fields</a>).
Each field is switched on and off by choosing it. <b>Select All</b> shows every field but the opening price;
<b>Reset Default</b> goes back to the current price and the day's change, in fractions.</dd>
<dt><b>Always On Top</b></dt><dd>When checked the bar stays above all other windows.</dd>
<dt><b>Snap to Screen Edges</b></dt><dd>When checked a bar moved near an edge of the screen jumps to that
edge. Turning it on snaps the bar at once if it lies near an edge.</dd>
<dt><b>Send Velmoria v5.6 to a Friend...</b></dt><dd>Opens the Velmoria home site, where you can pass the
ticker on.</dd>
<dt><b>Exit</b></dt><dd>Closes the ticker. Its place, width and settings are saved for the next run.</dd>
</dl>

<h2 id="symbols">Your symbols</h2>
<p>The symbol list is a list of entries separated by commas, for example <code>IBM, MSFT, VOD.L</code>.
Upper or lower case does not matter. A symbol traded outside the United States ends in its exchange's
suffix, such as <code>.L</code> for London. An entry written as a name followed by an address in angle
brackets, such as <code>Market News&lt;www.example.com/news.html&gt;</code>, becomes a link item: it shows
only its name and opens the address when clicked. A symbol for which no quote arrives shows only its
name.</p>

<h2 id="fields">Quote fields</h2>
<table>
<tr><th align="left">Field</th><th align="left">Shown as</th></tr>
<tr><td>Current Price</td><td>the last trade, e.g. <code>105.25</code></td></tr>
<tr><td>Time</td><td>the time of the last trade, e.g. <code>4:00PM</code></td></tr>
<tr><td>Day's Change</td><td>the change since the previous close, with its sign, e.g. <code>+1.5</code></td></tr>
<tr><td>Day's % Change</td><td>the same change in percent of the previous close, e.g. <code>+1.45%</code></td></tr>
<tr><td>Last Day's Close</td><td><code>c:</code> and the previous close</td></tr>
<tr><td>Opening Price</td><td><code>o:</code> and the day's first trade, where the exchange sends it</td></tr>
<tr><td>Day's High</td><td><code>h:</code> and the day's highest trade</td></tr>
<tr><td>Day's Low</td><td><code>l:</code> and the day's lowest trade</td></tr>
<tr><td>Day's Volume</td><td><code>v:</code> and the number of shares traded</td></tr>
<tr><td>Show Fractions</td><td>prices in whole units and 64ths instead of decimals</td></tr>
</table>

<h2 id="colours">Colours</h2>
<p>Each item is drawn in the colour of its day's change:
<span class="up"><b>green</b></span> when the price is above the previous close,
<span class="flat"><b>blue</b></span> when it is unchanged, and
<span class="down"><b>red</b></span> when it is below.</p>

<h2 id="fractions">Fractions</h2>
<p>With <b>Show Fractions</b> checked, prices are written as a whole number and a fraction in 64ths,
reduced to lowest terms: 105.25 shows as <code>105 1/4</code>, 0.015625 as <code>1/64</code> and a change
of -1.5 as <code>-1 1/2</code>. A price between two 64ths is cut down to the lower one, so 1.99 shows as
<code>1 63/64</code>. The percentage change and the volume are never shown as fractions.</p>

<h2 id="simulated">Simulated quotes</h2>
<p>When the news items of your ticker include <b>Simulated Quotes</b>, the prices it shows are made up: the
quote service runs without a connection to any market and lets every symbol wander at random from a
starting price of its own. They are for trying the ticker out and must not be taken for real prices. Run
the service in live mode to see real quotes from the market-data sources.</p>

<h2 id="live">Live quotes</h2>
<p>In live mode each symbol's quote comes from the first market-data source that answers for it and is kept
for a minute or so, so a quote may be a little behind the market. Prices are in the unit the source gives:
London prices are in pence. The trade time is the exchange's own local time. A symbol no source knows shows
<code>N/A</code>; when every source fails, the last quote received is shown with its own time.</p>
)";

}  // namespace

std::string HelpPage() { return HtmlPage("Velmoria On-Line Help", kHelpBody); }

}  // namespace service
