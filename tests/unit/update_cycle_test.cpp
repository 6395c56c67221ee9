// The update cycle: the exchange list on the first expiry, then workers
// that fetch the server message and every item's quote, and how they share
// the bar with its own thread and end when the bar exits.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <future>
#include <new>
#include <regex>
#include <thread>

#include "quotes/endpoints.h"
#include "quotes/exchange_list.h"
#include "quotes/http_get_text.h"
#include "symbols/symbol_entry_bar.h"
#include "tests/unit/bar_fixture.h"

namespace {

using bar_test::BarTest;
using bar_test::kSettingsKey;
using platform::fake::FakePlatform;

constexpr const char* kDefaultSource = "http://q.test/d/quotes.csv?f=sl1t1c1ghpv";
constexpr const char* kUkSource = "http://q.test/uk/quotes.csv?f=sl1t1c1ghpvo";
const std::string kExchangeList = std::string(",") + kDefaultSource + "\nL," + kUkSource + "\n";

bool StartsWith(const std::string& text, const std::string& prefix) { return text.rfind(prefix, 0) == 0; }

class UpdateCycleTest : public BarTest {
protected:
    void SetUp() override {
        BarTest::SetUp();
        fake.SetText(kSettingsKey, "Symbols", "ibm, VOD.L");
        fake.internet.Serve(quotes::ExchangeListAddress(), kExchangeList);
    }

    // The paths and queries asked for, in order.
    std::vector<std::string> Requests() const {
        std::vector<std::string> objects;
        const std::regex object("^HttpOpenRequest\\([^,]*, \"GET\", \"([^\"]*)\"");
        for (const std::string& call : fake.internet.CallsNamed("HttpOpenRequest")) {
            std::smatch match;
            if (std::regex_search(call, match, object)) objects.push_back(match[1]);
        }
        return objects;
    }
    static std::string PathOf(const std::string& address) {
        return address.substr(address.find('/', address.find("://") + 3));
    }
    void ServeQuotes(const std::string& ibm, const std::string& vod) {
        fake.internet.Serve(std::string(kDefaultSource) + "&s=IBM", ibm);
        fake.internet.Serve(std::string(kUkSource) + "&s=VOD.L", vod);
    }
    bool Updating() const { return window->updating; }
    // Runs the workers and lets the bar take what they hand over, until
    // neither has anything left to do.
    void Cycle() {
        while (fake.RunStartedThreads() + fake.DeliverPosted() > 0) {
        }
    }
    // An expiry of UPDATE_TIMER. When it asks for the exchange list, the
    // list's worker runs and the bar takes what it handed over, as the
    // list's arrival would have it do.
    void Expire() {
        const auto lists = [&] {
            const std::vector<std::string> requests = Requests();
            return std::count(requests.begin(), requests.end(), "/exchanges.html");
        };
        const auto listsBefore = lists();
        const std::size_t from = fake.Calls().size();
        Timer(ticker::UPDATE_TIMER);
        const std::vector<std::string> calls = CallsSince(from);
        const bool notice = std::any_of(calls.begin(), calls.end(), [](const std::string& call) {
            return StartsWith(call, "TextOut(") && call.find("\"Gathering exchange data") != std::string::npos;
        });
        if (!notice || lists() > listsBefore) return;  // no list asked for, or already in
        fake.RunLastThread();
        fake.DeliverPosted();
    }
    // The periods UPDATE_TIMER was armed with, in order.
    std::vector<std::uint32_t> UpdateArmings(std::size_t from = 0) const {
        std::vector<std::uint32_t> periods;
        const std::string prefix = "SetTimer(w1, 33005, ";
        for (const std::string& call : CallsSince(from)) {
            if (StartsWith(call, prefix)) periods.push_back(static_cast<std::uint32_t>(std::stoul(call.substr(prefix.size()))));
        }
        return periods;
    }
    std::size_t CountCalls(const std::string& prefix, std::size_t from = 0) const {
        std::size_t count = 0;
        for (const std::string& call : CallsSince(from)) count += StartsWith(call, prefix) ? 1 : 0;
        return count;
    }
};

TEST_F(UpdateCycleTest, FirstExpiryShowsTheNoticeLoadsTheExchangesAndStartsAWorker) {
    Run([&] {
        const std::size_t from = fake.Calls().size();
        Timer(ticker::UPDATE_TIMER);
        const std::string notice = "Gathering exchange data from " + quotes::HomeSiteHost() + "...";
        EXPECT_EQ(CallsSince(from), (std::vector<std::string>{"KillTimer(w1, 33005)", "KillTimer(w1, 33004)",
                                                               "SetTextColor(dc1, 26112)",
                                                               "TextOut(dc1, 20, 0, \"" + notice + "\")",
                                                               "GdiFlush()", "StartThread(-2)"}))
            << "scrolling stops, the notice shows in dark green, and a worker downloads the list";
        EXPECT_TRUE(Requests().empty()) << "nothing downloaded on the bar's thread";

        const std::size_t arrived = fake.Calls().size();
        fake.RunLastThread();
        EXPECT_EQ(Requests(), std::vector<std::string>{"/exchanges.html"});
        fake.DeliverPosted();
        const std::vector<std::string> calls = CallsSince(arrived);
        const auto at = [&](const std::string& prefix) {
            for (std::size_t i = 0; i < calls.size(); ++i) {
                if (StartsWith(calls[i], prefix)) return static_cast<int>(i);
            }
            return -1;
        };
        const int rebuilt = at("CreateFontIndirect(");
        const int armedUpdate = at("SetTimer(w1, 33005, 300000)");
        const int armedScroll = at("SetTimer(w1, 33004, 40)");
        const int started = at("StartThread(-2)");
        EXPECT_GE(rebuilt, 0);
        EXPECT_GT(armedUpdate, rebuilt);
        EXPECT_GT(armedScroll, armedUpdate);
        EXPECT_GT(started, armedScroll) << "the worker starts last, at the lowest priority";
        EXPECT_EQ(fake.window(bar).timers.at(ticker::UPDATE_TIMER), 300000u) << "replaces the rebuild's 500";
        EXPECT_EQ(window->exchangeMap, (quotes::ExchangeMap{{"", kDefaultSource}, {"L", kUkSource}}));
        EXPECT_EQ(Labels(), (std::vector<std::string>{"ibm", "VOD.L"}));
        EXPECT_EQ(window->itemList[0]->sourceUrl, std::string(kDefaultSource) + "&s=IBM");
        EXPECT_EQ(window->itemList[1]->sourceUrl, std::string(kUkSource) + "&s=VOD.L") << "the L source";
        EXPECT_EQ(Requests(), std::vector<std::string>{"/exchanges.html"});
        EXPECT_EQ(fake.PendingThreadCount(), 1u);
    });
}

TEST_F(UpdateCycleTest, AFailedExchangeListIsTriedAgainAtEveryExpiry) {
    fake.internet.Serve(quotes::ExchangeListAddress(), "no comma here\n");
    Run([&] {
        Expire();
        EXPECT_TRUE(window->exchangeMap.empty());
        EXPECT_EQ(window->itemList.at(0)->sourceUrl, quotes::DefaultQuoteSource() + "&s=IBM");
        EXPECT_EQ(window->itemList.at(1)->sourceUrl, quotes::DefaultQuoteSource() + "&s=VOD.L");
        Expire();
        EXPECT_EQ(Requests(), (std::vector<std::string>{"/exchanges.html", "/exchanges.html"}));
        EXPECT_EQ(CountCalls("TextOut(dc1, 20, 0, \"Gathering"), 2u);

        fake.internet.Serve(quotes::ExchangeListAddress(), kExchangeList);
        Expire();
        Expire();
        EXPECT_EQ(Requests().size(), 3u) << "loaded once it holds a usable line";
        EXPECT_EQ(fake.PendingThreadCount(), 4u) << "a worker every time";
    });
}

TEST_F(UpdateCycleTest, AFailedExchangeListWaitsForThePassToEndBeforeItIsAskedForAgain) {
    // Its rebuild would wait for the whole pass with scrolling stopped: with
    // the home site down and a long list, the bar would stand still for
    // minutes behind its notice.
    fake.internet.Serve(quotes::ExchangeListAddress(), "no comma here\n");
    fake.internet.Serve(quotes::ServerMessageAddress(), "");
    ServeQuotes("", "");
    bool waited = false;
    fake.onWaitMessage = [&](FakePlatform& f) {
        waited = true;
        f.RunStartedThreads();
        f.DeliverPosted();
    };
    const auto exchangeRequests = [&] {
        const std::vector<std::string> requests = Requests();
        return std::count(requests.begin(), requests.end(), "/exchanges.html");
    };
    Run([&] {
        Expire();
        fake.RunNextThread();
        fake.DeliverPosted();
        ASSERT_TRUE(Updating()) << "the pass is under way";
        const std::size_t from = fake.Calls().size();
        Expire();
        EXPECT_FALSE(waited) << "the bar's thread waited for the pass";
        EXPECT_EQ(CountCalls("KillTimer(w1, 33004)", from), 0u) << "scrolling goes on";
        EXPECT_EQ(exchangeRequests(), 1);
        EXPECT_EQ(CountCalls("StartThread(", from), 1u) << "the worker starts as ever";

        Cycle();
        ASSERT_FALSE(Updating());
        Expire();
        EXPECT_EQ(exchangeRequests(), 2) << "asked for again once no pass runs";
        EXPECT_FALSE(waited);
    });
}

TEST(ExchangeListTest, LinesBecomeTrimmedEntriesAndTheLastWins) {
    struct Case {
        const char* name;
        std::string body;
        quotes::ExchangeMap expected;
    };
    const Case cases[] = {
        {"trimmed", " L \t, http://a/b \n", {{"L", "http://a/b"}}},
        {"commas stay in the address", "L,http://a/b?x=1,2\n", {{"L", "http://a/b?x=1,2"}}},
        {"later line wins", "L,http://one\nL,http://two", {{"L", "http://two"}}},
        {"no comma, empty lines", "L http://a\n\n\nX,http://x\n", {{"X", "http://x"}}},
        {"empty key is the default", " ,http://d\n", {{"", "http://d"}}},
        {"empty value kept", "L,\n", {{"L", ""}}},
        {"last line without line feed", "A,1\nB,2", {{"A", "1"}, {"B", "2"}}},
        {"failed download", quotes::kDownloadErrorText, {}},
    };
    for (const Case& c : cases) {
        quotes::ExchangeMap map;
        EXPECT_EQ(quotes::ReadExchangeList(c.body, map), !c.expected.empty()) << c.name;
        EXPECT_EQ(map, c.expected) << c.name;
    }
}

TEST_F(UpdateCycleTest, WorkerAsksForTheMessageThenEachQuoteInListOrder) {
    fake.internet.Serve(quotes::ServerMessageAddress(), "News<n.test/a>");
    fake.internet.Serve(std::string(kDefaultSource) + "&s=NEWS", "");
    ServeQuotes("\"IBM\",123.5,\"4:00PM\",+1.25,120,124,122.25,1234567\r\n",
                "Symbol,Last\n\"VOD.L\",2.5,\"4:30PM\",-0.5,2,3,3,100,2.75\n");
    Run([&] {
        Expire();
        EXPECT_TRUE(fake.RunNextThread()) << "the message phase";
        EXPECT_EQ(Labels(), (std::vector<std::string>{"ibm", "VOD.L"})) << "the worker touches no item";
        EXPECT_EQ(fake.DeliverPosted(), 1u);
        EXPECT_EQ(window->serverMessage, "News<n.test/a>");
        EXPECT_EQ(Labels(), (std::vector<std::string>{"News", "ibm", "VOD.L"})) << "message first";
        EXPECT_TRUE(Updating()) << "the bar's thread set it as it started the pass";
        EXPECT_EQ(fake.PendingThreadCount(), 1u) << "the pass, on a worker of its own";

        const std::size_t from = fake.Calls().size();
        EXPECT_TRUE(fake.RunNextThread()) << "the pass";
        EXPECT_EQ(window->itemList[1]->last, 0) << "nothing reaches an item until the bar takes it";
        EXPECT_EQ(fake.DeliverPosted(), 1u);
        EXPECT_EQ(Requests(), (std::vector<std::string>{"/exchanges.html", PathOf(quotes::ServerMessageAddress()),
                                                        "/d/quotes.csv?f=sl1t1c1ghpv&s=NEWS",
                                                        "/d/quotes.csv?f=sl1t1c1ghpv&s=IBM",
                                                        "/uk/quotes.csv?f=sl1t1c1ghpvo&s=VOD.L"}));
        EXPECT_EQ(Labels(), (std::vector<std::string>{"News", "IBM", "VOD.L"})) << "IBM upper-cased";
        const quotes::QuoteItem& ibm = *window->itemList[1];
        EXPECT_EQ(ibm.last, 123.5);
        EXPECT_EQ(ibm.timeText, "4:00PM");
        EXPECT_EQ(ibm.volume, 1234567);
        const quotes::QuoteItem& vod = *window->itemList[2];
        EXPECT_EQ(vod.last, 2.5) << "the uk source's title line is skipped";
        EXPECT_EQ(vod.open, 2.75);
        EXPECT_FALSE(ibm.parsing);
        EXPECT_FALSE(Updating());
        // The quotes taken together cost one Relayout (it reads the bar's
        // width once), then the pass ends: invalidate, arm, in that order.
        EXPECT_EQ(CountCalls("GetClientRect(w1)", from), 1u);
        const std::vector<std::string> after = CallsSince(from);
        const auto last = [&](const std::string& prefix) {
            for (std::size_t i = after.size(); i-- > 0;) {
                if (StartsWith(after[i], prefix)) return static_cast<int>(i);
            }
            return -1;
        };
        EXPECT_GT(last("InvalidateRect(w1, all, erase)"), last("GetClientRect("));
        EXPECT_GT(last("SetTimer(w1, 33005, 300000)"), last("InvalidateRect("));
    });
}

TEST_F(UpdateCycleTest, QuotesThatArriveWithinAStepAreTakenByItWithOneRelayout) {
    fake.internet.Serve(quotes::ServerMessageAddress(), "");
    ServeQuotes("\"IBM\",1.5,\"t\",0,1,1,1,1\n", "Symbol\n\"VOD.L\",2.5,\"t\",0,1,1,1,1\n");
    Run([&] {
        Expire();
        fake.RunNextThread();
        fake.DeliverPosted();
        fake.RunNextThread();  // the whole pass, its end posted
        fake.queue.clear();    // the end's wake-up is not delivered: the step takes all
        const std::size_t from = fake.Calls().size();
        Timer(ticker::SCROLL_TIMER);
        EXPECT_EQ(window->itemList[0]->last, 1.5);
        EXPECT_EQ(window->itemList[1]->last, 2.5);
        EXPECT_FALSE(Updating());
        EXPECT_EQ(CountCalls("GetClientRect(w1)", from), 2u) << "one Relayout, then the step itself";
        EXPECT_EQ(UpdateArmings(from), std::vector<std::uint32_t>{300000});
    });
}

TEST_F(UpdateCycleTest, WorkersNeverSetTimersThemselvesButWakeTheBarsThread) {
    fake.internet.Serve(quotes::ServerMessageAddress(), "Velmoria News");
    ServeQuotes("", "");
    Run([&] {
        Expire();
        Cycle();
        for (const std::string& call : fake.Calls()) {
            EXPECT_EQ(call.find("refused"), std::string::npos) << call;
        }
        // The exchange list's arrival, the end of the message phase and the
        // end of the pass.
        EXPECT_EQ(fake.CallsNamed("PostMessage"),
                  (std::vector<std::string>{"PostMessage(w1, 32769, 0, 0)", "PostMessage(w1, 32769, 0, 0)",
                                            "PostMessage(w1, 32769, 0, 0)"}));
        EXPECT_EQ(fake.window(bar).timers.at(ticker::UPDATE_TIMER), 300000u);
    });
}

TEST_F(UpdateCycleTest, UpdatesTurnedOffDuringAPassStayOff) {
    fake.internet.Serve(quotes::ServerMessageAddress(), "");
    ServeQuotes("", "");
    Run([&] {
        Expire();
        fake.RunNextThread();
        fake.DeliverPosted();
        fake.RunNextThread();  // the pass ends and wakes the bar
        Command(ticker::command::kUpdateOff);  // chosen before the bar takes the end
        Cycle();
        EXPECT_EQ(fake.window(bar).timers.count(ticker::UPDATE_TIMER), 0u);
    });
}

TEST_F(UpdateCycleTest, FakeRefusesTimerCallsFromAThreadThatDoesNotOwnTheWindow) {
    Run([&] {
        fake.currentThreadId = 7;
        EXPECT_EQ(fake.SetTimer(bar, ticker::UPDATE_TIMER, 10), 0u);
        EXPECT_FALSE(fake.KillTimer(bar, ticker::SCROLL_TIMER));
        fake.currentThreadId = 1;
        EXPECT_EQ(fake.window(bar).timers.count(ticker::UPDATE_TIMER), 1u) << "500 from creation, untouched";
        EXPECT_EQ(fake.window(bar).timers.at(ticker::UPDATE_TIMER), 500u);
        EXPECT_EQ(fake.window(bar).timers.count(ticker::SCROLL_TIMER), 1u);
    });
}

TEST_F(UpdateCycleTest, AnUnchangedMessageLeavesTheItemsAlone) {
    fake.internet.Serve(quotes::ServerMessageAddress(), "");
    ServeQuotes("\"IBM\",1,\"t\",0,1,1,1,1\n", "");
    Run([&] {
        Expire();
        const quotes::QuoteItem* first = window->itemList[0].get();
        Cycle();
        EXPECT_EQ(window->itemList[0].get(), first) << "an empty message equals the initial one";
        Expire();
        Cycle();
        EXPECT_EQ(window->itemList[0].get(), first);
        EXPECT_EQ(window->itemList[0]->last, 1);
        EXPECT_EQ(UpdateArmings(), (std::vector<std::uint32_t>{500, 500, 300000, 300000, 300000}))
            << "creation, the exchange list's rebuild, its own arming, two pass ends; no rebuild since";
    });
}

TEST_F(UpdateCycleTest, AFailedMessageDownloadShowsAnErrorItemUntilTheNextGoodOne) {
    ServeQuotes("", "");
    Run([&] {
        Expire();
        Cycle();  // nobody serves the message
        EXPECT_EQ(window->serverMessage, quotes::kDownloadErrorText);
        EXPECT_EQ(Labels(), (std::vector<std::string>{"Velmoria Error", "ibm", "VOD.L"}));
        EXPECT_EQ(window->itemList[0]->linkUrl, quotes::HomeSite()) << "a label with a space links home";

        fake.internet.Serve(quotes::ServerMessageAddress(), "");
        Expire();
        Cycle();
        EXPECT_EQ(Labels(), (std::vector<std::string>{"ibm", "VOD.L"}));
    });
}

TEST_F(UpdateCycleTest, AWorkerThatFindsAPassRunningEndsAfterTheMessage) {
    fake.internet.Serve(quotes::ServerMessageAddress(), "");
    Run([&] {
        Expire();
        window->updating = true;  // another worker's pass
        const std::size_t requests = Requests().size();
        const std::size_t from = fake.Calls().size();
        Cycle();
        EXPECT_EQ(Requests().size(), requests + 1) << "the message only";
        EXPECT_TRUE(Updating()) << "the running pass still owns it";
        EXPECT_EQ(CountCalls("StartThread(", from), 0u) << "no pass of its own";
        EXPECT_TRUE(UpdateArmings(from).empty()) << "arms nothing";
        window->updating = false;
    });
}

TEST_F(UpdateCycleTest, WithUpdatesOffThePassArmsNothing) {
    fake.SetDword(kSettingsKey, "Update", 0);
    fake.internet.Serve(quotes::ServerMessageAddress(), "");
    ServeQuotes("", "");
    Run([&] {
        Expire();
        EXPECT_EQ(fake.window(bar).timers.at(ticker::UPDATE_TIMER), 500u) << "only the rebuild's short delay";
        const std::size_t from = fake.Calls().size();
        Cycle();
        EXPECT_TRUE(UpdateArmings(from).empty());
        EXPECT_EQ(fake.CallsNamed("InvalidateRect").size(), 2u) << "the rebuild's and the pass end's";
    });
}

TEST_F(UpdateCycleTest, NoThreadForThePassEndsItAtOnceAndTheNextCycleTriesAgain) {
    fake.internet.Serve(quotes::ServerMessageAddress(), "");
    Run([&] {
        Expire();
        fake.RunNextThread();
        fake.threadMode = FakePlatform::ThreadMode::Refuse;
        const std::size_t from = fake.Calls().size();
        fake.DeliverPosted();
        EXPECT_EQ(CountCalls("StartThread(", from), 1u);
        EXPECT_FALSE(Updating()) << "a pass that never ran holds nothing up";
        EXPECT_EQ(UpdateArmings(from), std::vector<std::uint32_t>{300000});
    });
}

TEST_F(UpdateCycleTest, WorkersStillRunningAtExitTouchNothingAfterwards) {
    struct Case {
        const char* name;
        int phasesBeforeExit;  // 0: in the message phase; 1: in the pass
    };
    for (const Case c : {Case{"message phase", 0}, Case{"quote pass", 1}}) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        fake.internet.Serve(quotes::ServerMessageAddress(), "Velmoria News");
        ServeQuotes("", "");
        Run([&] {
            Expire();
            for (int i = 0; i < c.phasesBeforeExit; ++i) {
                fake.RunNextThread();
                fake.DeliverPosted();
            }
            EXPECT_EQ(fake.PendingThreadCount(), 1u);
            Command(ticker::command::kExit);
        });
        const std::size_t requests = Requests().size();
        window.reset();  // the bar is gone entirely, as when the entry returns
        const std::size_t afterExit = fake.Calls().size();
        EXPECT_EQ(fake.RunStartedThreads(), 1u);
        EXPECT_EQ(CallsSince(afterExit), std::vector<std::string>{}) << "no window, drawing or timer call";
        EXPECT_EQ(Requests().size(), requests + (c.phasesBeforeExit == 0 ? 1 : 0))
            << "a download under way ends; no new one starts";
    }
}

TEST_F(UpdateCycleTest, NothingQueuedBehindExitRunsAgainstTheReleasedWindow) {
    // The entry bar's OK rebuilds the items during a pass while the user
    // has already chosen Exit and more: Exit ends the handling.
    fake.internet.Serve(quotes::ServerMessageAddress(), "");
    ServeQuotes("", "");
    int waits = 0;
    fake.onWaitMessage = [&](FakePlatform& f) {
        ++waits;
        f.RunStartedThreads();  // lets a rebuild that waits for the pass go on
    };
    Run([&] {
        Expire();
        fake.RunNextThread();
        fake.DeliverPosted();
        ASSERT_TRUE(Updating()) << "a pass runs";
        using platform::kWmCommand;
        fake.queue = {{bar, kWmCommand, ticker::command::kExit, 0, 0, {}},
                      {bar, kWmCommand, ticker::command::kUpdateNow, 0, 0, {}},
                      {bar, kWmCommand, ticker::command::kResetDefault, 0, 0, {}},
                      {bar, platform::kWmTimer, ticker::SCROLL_TIMER, 0, 0, {}},
                      {bar, platform::kWmTimer, ticker::UPDATE_TIMER, 0, 0, {}},
                      {bar, ticker::kWmHandover, 0, 0, 0, {}}};
        window->symbols = "MSFT";
        const std::size_t from = fake.Calls().size();
        window->RebuildItems();
        EXPECT_EQ(waits, 0) << "the rebuild waited for the pass";
        fake.DeliverPosted();  // the bar's own loop
        ASSERT_TRUE(window->Exited());
        const std::vector<std::string> calls = CallsSince(from);
        const auto exitAt = std::find(calls.begin(), calls.end(), "KillTimer(w1, 33004)");
        ASSERT_NE(exitAt, calls.end());
        std::size_t saves = 0;
        for (auto call = exitAt; call != calls.end(); ++call) {
            saves += StartsWith(*call, "RegCreateKey(") ? 1 : 0;
            EXPECT_FALSE(StartsWith(*call, "SetTimer(")) << *call;
            EXPECT_FALSE(StartsWith(*call, "StartThread(")) << *call;
            EXPECT_FALSE(StartsWith(*call, "CreateFontIndirect(")) << *call;
            EXPECT_FALSE(StartsWith(*call, "TextOut(")) << *call;
            EXPECT_FALSE(StartsWith(*call, "InvalidateRect(")) << *call;
        }
        EXPECT_EQ(saves, 1u) << "Exit's own save, and no second one";
        EXPECT_TRUE(fake.window(bar).timers.empty());
    });
}

TEST_F(UpdateCycleTest, TheBarAnswersItsMenuAndExitWhileTheExchangeListLoads) {
    Run([&] {
        Timer(ticker::UPDATE_TIMER);
        ASSERT_EQ(fake.PendingThreadCount(), 1u) << "the list's worker";
        EXPECT_TRUE(Requests().empty()) << "the bar's thread downloads nothing";
        EXPECT_EQ(fake.window(bar).timers.count(ticker::SCROLL_TIMER), 0u) << "scrolling stopped behind the notice";

        const std::size_t saves = Saves();
        Command(ticker::command::kResetDefault);
        EXPECT_EQ(Saves(), saves + 1) << "a menu command is answered";
        const std::size_t from = fake.Calls().size();
        Timer(ticker::UPDATE_TIMER);
        EXPECT_EQ(fake.PendingThreadCount(), 1u) << "one list download at a time";
        EXPECT_EQ(CountCalls("TextOut(", from), 0u);

        Command(ticker::command::kExit);
        EXPECT_TRUE(window->Exited());
    });
    window.reset();
    const std::size_t afterExit = fake.Calls().size();
    fake.RunStartedThreads();
    EXPECT_EQ(Requests(), std::vector<std::string>{"/exchanges.html"});
    for (const std::string& call : CallsSince(afterExit)) {
        EXPECT_TRUE(StartsWith(call, "Internet") || StartsWith(call, "Http") || StartsWith(call, "SetDeadline"))
            << "only the download: " << call;
    }
}

TEST_F(UpdateCycleTest, WithUpdatesOffAFailedExchangeListIsAskedForOnlyWhenTheUserAsks) {
    fake.SetDword(kSettingsKey, "Update", 0);
    fake.internet.Serve(quotes::ExchangeListAddress(), "no comma here\n");
    fake.internet.Serve(quotes::ServerMessageAddress(), "");
    ServeQuotes("", "");
    const auto exchangeRequests = [&] {
        const std::vector<std::string> requests = Requests();
        return std::count(requests.begin(), requests.end(), "/exchanges.html");
    };
    // Every expiry the bar armed, as the platform would bring it, until the
    // bar arms none.
    const auto runUntilIdle = [&] {
        Cycle();
        for (int i = 0; i < 20 && fake.window(bar).timers.count(ticker::UPDATE_TIMER) > 0; ++i) {
            Expire();
            Cycle();
        }
        return fake.window(bar).timers.count(ticker::UPDATE_TIMER) == 0;
    };
    Run([&] {
        Expire();
        EXPECT_TRUE(runUntilIdle()) << "the cycles end by themselves";
        EXPECT_EQ(exchangeRequests(), 1) << "the start-up's list only";

        Command(ticker::command::kUpdateNow);
        EXPECT_TRUE(runUntilIdle());
        EXPECT_EQ(exchangeRequests(), 2) << "asked for again for the user's update";

        fake.internet.Serve(quotes::ExchangeListAddress(), kExchangeList);
        Command(ticker::command::kUpdate5Minutes);
        Expire();
        Cycle();
        EXPECT_EQ(exchangeRequests(), 3) << "and when updates are turned on";
        EXPECT_FALSE(window->exchangeMap.empty());
    });
}

TEST_F(UpdateCycleTest, UpdateNowDuringAPassStartsTheNextCycleAsSoonAsItEnds) {
    fake.internet.Serve(quotes::ServerMessageAddress(), "");
    ServeQuotes("\"IBM\",1.5,\"t\",0,1,1,1,1\n", "");
    const auto ibmRequests = [&] {
        const std::vector<std::string> requests = Requests();
        return std::count(requests.begin(), requests.end(), "/d/quotes.csv?f=sl1t1c1ghpv&s=IBM");
    };
    Run([&] {
        Expire();
        fake.RunNextThread();
        fake.DeliverPosted();
        ASSERT_TRUE(Updating());
        Command(ticker::command::kUpdateNow);
        Expire();  // its half second
        fake.RunLastThread();
        fake.DeliverPosted();  // its message, the pass still running: that worker ends here
        EXPECT_TRUE(Updating());
        Cycle();
        EXPECT_EQ(ibmRequests(), 2) << "a second pass followed the first";
        EXPECT_FALSE(Updating());
        EXPECT_EQ(fake.window(bar).timers.at(ticker::UPDATE_TIMER), 300000u) << "then the interval";
        Expire();
        Cycle();
        EXPECT_EQ(ibmRequests(), 3) << "asked once: the next expiry runs one pass";
    });
}

TEST_F(UpdateCycleTest, OutOfMemoryOnTheBarsThreadNeverLosesThePassesEnd) {
    fake.internet.Serve(quotes::ServerMessageAddress(), "");
    ServeQuotes("\"IBM\",1.5,\"t\",0,1,1,1,1\n", "");
    Run([&] {
        Expire();
        fake.RunNextThread();
        fake.DeliverPosted();
        ASSERT_TRUE(Updating());
        fake.RunNextThread();  // the pass: its quotes and its end wait in the inbox
        fake.onMeasure = [](FakePlatform&) { throw std::bad_alloc(); };
        const std::size_t from = fake.Calls().size();
        EXPECT_NO_THROW(fake.DeliverPosted());  // the re-layout of the quotes runs out of memory
        fake.onMeasure = nullptr;
        EXPECT_FALSE(Updating()) << "the pass's end was taken all the same";
        EXPECT_EQ(UpdateArmings(from), std::vector<std::uint32_t>{300000});
        Expire();
        EXPECT_EQ(fake.PendingThreadCount(), 1u) << "the next cycle runs";
    });
}

TEST_F(UpdateCycleTest, TheServerMessageAddsABoundedNumberOfItems) {
    std::string message;
    for (int i = 0; i < 1000; ++i) message += "M" + std::to_string(i) + ",";
    Run([&] {
        window->serverMessage = message;
        window->symbols.clear();
        for (int i = 0; i < 300; ++i) window->symbols += "U" + std::to_string(i) + ",";
        window->RebuildItems();
        EXPECT_EQ(window->itemList.size(), ticker::kMaxServerMessageEntries + 300) << "the user's list stays whole";
        EXPECT_EQ(window->itemList[ticker::kMaxServerMessageEntries - 1]->label, "M199");
        EXPECT_EQ(window->itemList[ticker::kMaxServerMessageEntries]->label, "U0");
    });
}

TEST_F(UpdateCycleTest, AChangedMessageCancelsTheRunningPassAndRunsAPassOfItsOwn) {
    fake.internet.Serve(quotes::ServerMessageAddress(), "");
    ServeQuotes("\"IBM\",1.5,\"t\",0,1,1,1,1\n", "");
    Run([&] {
        Expire();
        fake.RunNextThread();
        fake.DeliverPosted();
        ASSERT_TRUE(Updating()) << "the first pass is under way";

        fake.internet.Serve(quotes::ServerMessageAddress(), "News");
        Expire();
        fake.RunLastThread();  // the new message, before the first pass downloaded anything
        const std::size_t from = fake.Calls().size();
        fake.DeliverPosted();
        EXPECT_EQ(window->serverMessage, "News");
        EXPECT_EQ(Labels(), (std::vector<std::string>{"News", "ibm", "VOD.L"})) << "rebuilt at once";
        EXPECT_TRUE(Updating()) << "the message's own pass, on the new items";
        EXPECT_EQ(UpdateArmings(from), std::vector<std::uint32_t>{500}) << "the rebuild's";

        const std::size_t requests = Requests().size();
        const std::size_t ended = fake.Calls().size();
        fake.RunNextThread();  // the cancelled pass
        EXPECT_EQ(Requests().size(), requests) << "it stops before its first download";
        fake.DeliverPosted();
        EXPECT_TRUE(Updating()) << "its end ends nothing";
        EXPECT_TRUE(UpdateArmings(ended).empty()) << "and arms nothing";
        Cycle();
        EXPECT_EQ(window->itemList[1]->last, 1.5);
        EXPECT_FALSE(Updating());
        EXPECT_EQ(fake.window(bar).timers.at(ticker::UPDATE_TIMER), 300000u);
    });
}

TEST_F(UpdateCycleTest, AListConfirmedDuringAPassGetsItsQuotesHalfASecondLater) {
    // A real worker, held in its first quote download until the entry bar's
    // rebuild waits for the pass; the pass's end must not re-arm the timer
    // with the long interval after the rebuild armed the short delay.
    fake.threadMode = FakePlatform::ThreadMode::Real;
    fake.internet.Serve(quotes::ServerMessageAddress(), "");
    ServeQuotes("", "");
    std::promise<void> reached;
    std::promise<void> gate;
    std::shared_future<void> opened = gate.get_future().share();
    bool held = false;
    fake.internet.onSend = [&](const std::string& object) {
        if (held || object.find("s=IBM") == std::string::npos) return;
        held = true;
        reached.set_value();
        opened.wait();
    };
    int waits = 0;
    fake.onWaitMessage = [&](FakePlatform&) { ++waits; };
    fake.templateRects[symbols::kEntryBarTemplate] = {0, 0, 470, 22};
    fake.templateControls[symbols::kEntryBarTemplate] = {
        {symbols::kEditField, ""}, {platform::kIdOk, "OK"}, {platform::kIdCancel, "Cancel"}, {symbols::kPromptControl, ""}};
    fake.modalScripts[symbols::kEntryBarTemplate] = [&](FakePlatform& f, platform::WindowHandle w) {
        f.window(f.GetDlgItem(w, symbols::kEditField)).title = "MSFT";
        f.Send(w, platform::kWmCommand, platform::kIdOk, 0);
    };
    Run([&] {
        fake.activeWindow = bar;
        Expire();
        // The message phase ends and the bar starts the pass, which stops at
        // the gate.
        for (int i = 0; i < 5000 && !Updating(); ++i) {
            fake.DeliverPosted();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        ASSERT_TRUE(Updating());
        reached.get_future().wait();
        const std::size_t from = fake.Calls().size();
        Command(ticker::command::kAddRemoveSymbols);
        EXPECT_EQ(waits, 0) << "the rebuild does not wait for the held pass";
        EXPECT_EQ(Labels(), std::vector<std::string>{"MSFT"});
        EXPECT_FALSE(Updating()) << "the pass is cancelled; the new items' pass starts with the next cycle";
        gate.set_value();
        fake.JoinThreads();
        fake.DeliverPosted();
        const std::vector<std::uint32_t> armings = UpdateArmings(from);
        ASSERT_FALSE(armings.empty());
        EXPECT_EQ(armings.back(), 500u) << "the cancelled pass's end arms nothing after the rebuild";
        EXPECT_EQ(fake.window(bar).timers.at(ticker::UPDATE_TIMER), 500u);
        EXPECT_FALSE(Updating());
        const std::vector<std::string> requests = Requests();
        EXPECT_EQ(std::count_if(requests.begin(), requests.end(),
                                [](const std::string& r) { return r.find("s=VOD.L") != std::string::npos; }),
                  0)
            << "the cancelled pass asked for nothing after the rebuild";
    });
}

TEST_F(UpdateCycleTest, ListChangesOneAfterAnotherDuringAPassEachCancelAndTheLastGetsItsQuotesNext) {
    // The user confirms a list, sees nothing change and confirms another,
    // all while a pass runs: neither waits, and the next cycle's pass asks
    // for the last list's quotes.
    fake.internet.Serve(quotes::ServerMessageAddress(), "");
    ServeQuotes("", "");
    fake.internet.Serve(std::string(kDefaultSource) + "&s=AAPL", "\"AAPL\",7.5,\"t\",0,1,1,1,1\n");
    int waits = 0;
    fake.onWaitMessage = [&](FakePlatform& f) {
        ++waits;
        f.RunStartedThreads();  // lets a rebuild that waits for the pass go on
        f.DeliverPosted();
    };
    std::vector<std::string> lists = {"MSFT", "AAPL"};
    std::size_t confirmed = 0;
    fake.templateRects[symbols::kEntryBarTemplate] = {0, 0, 470, 22};
    fake.templateControls[symbols::kEntryBarTemplate] = {
        {symbols::kEditField, ""}, {platform::kIdOk, "OK"}, {platform::kIdCancel, "Cancel"}, {symbols::kPromptControl, ""}};
    fake.modalScripts[symbols::kEntryBarTemplate] = [&](FakePlatform& f, platform::WindowHandle w) {
        f.window(f.GetDlgItem(w, symbols::kEditField)).title = lists.at(confirmed++);
        f.Send(w, platform::kWmCommand, platform::kIdOk, 0);
    };
    Run([&] {
        fake.activeWindow = bar;
        Expire();
        fake.RunNextThread();
        fake.DeliverPosted();
        ASSERT_TRUE(Updating()) << "a pass is under way, not yet downloading";
        const std::uint64_t generation = window->itemsGeneration();
        const std::size_t from = fake.Calls().size();
        Command(ticker::command::kAddRemoveSymbols);
        Command(ticker::command::kAddRemoveSymbols);
        EXPECT_EQ(waits, 0) << "the bar's thread waited for the pass";
        EXPECT_EQ(Labels(), std::vector<std::string>{"AAPL"});
        EXPECT_EQ(window->itemsGeneration(), generation + 2);
        EXPECT_FALSE(Updating());
        EXPECT_EQ(UpdateArmings(from), (std::vector<std::uint32_t>{500, 500})) << "each asks for quotes soon";

        const std::size_t requests = Requests().size();
        fake.RunNextThread();  // the cancelled pass
        EXPECT_EQ(Requests().size(), requests) << "it asks for nothing more";
        fake.DeliverPosted();
        Expire();  // half a second after the last rebuild
        Cycle();
        const std::vector<std::string> after = Requests();
        ASSERT_EQ(after.size(), requests + 2);
        EXPECT_EQ(after.back(), "/d/quotes.csv?f=sl1t1c1ghpv&s=AAPL") << "the new list's quote, after the message";
        EXPECT_EQ(window->itemList.at(0)->last, 7.5);
        EXPECT_FALSE(Updating());
    });
}

}  // namespace
