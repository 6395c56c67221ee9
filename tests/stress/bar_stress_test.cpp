// The bar's thread against running update workers, for real: scroll steps,
// data-field commands, clicks, drags and symbol-list changes through their
// handlers while passes download slowly and hand their quotes over, then
// Exit in the middle of it all, with handovers still queued. Built with
// ThreadSanitizer, and again with AddressSanitizer (whose leak check sees a
// handover nobody freed); any report fails.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "app/module_record.h"
#include "platform/constants.h"
#include "platform/fake/fake_platform.h"
#include "platform/internet.h"
#include "symbols/symbol_entry_bar.h"
#include "ticker/bar_link.h"
#include "ticker/ids.h"
#include "ticker/ticker_window.h"

namespace {

using namespace std::chrono_literals;

// A thread-safe server of every address, answering after a delay: the server
// message changes every few requests, so workers rebuild the items too.
class SlowInternet final : public platform::Internet {
public:
    std::atomic<int> quoteRequests{0};
    std::atomic<int> messageRequests{0};
    std::chrono::milliseconds delay{2};

    platform::InternetHandle Open(const char*, std::uint32_t, const char*, const char*, std::uint32_t) override {
        return NewHandle("");
    }
    bool CanonicalizeUrl(const char* url, char* buffer, std::uint32_t& length, std::uint32_t) override {
        const std::size_t size = std::strlen(url);
        if (size + 1 > length) return false;
        std::memcpy(buffer, url, size + 1);
        length = static_cast<std::uint32_t>(size);
        return true;
    }
    bool CrackUrl(const char* url, std::uint32_t, platform::UrlParts& parts) override {
        const std::string text = url;
        const std::size_t host = text.find("://");
        if (host == std::string::npos) return false;
        const std::size_t path = text.find('/', host + 3);
        parts.scheme = text.substr(0, host);
        parts.schemeNumber = parts.scheme == "http" ? platform::kInternetSchemeHttp : platform::kInternetSchemeUnknown;
        parts.host = text.substr(host + 3, path - host - 3);
        parts.port = platform::kInternetDefaultHttpPort;
        parts.urlPath = path == std::string::npos ? "/" : text.substr(path);
        return true;
    }
    platform::InternetHandle Connect(platform::InternetHandle, const char*, std::uint16_t, const char*, const char*,
                                     std::uint32_t, std::uint32_t, std::uintptr_t) override {
        return NewHandle("");
    }
    platform::InternetHandle OpenRequest(platform::InternetHandle, const char*, const char* object, const char*,
                                         const char*, const char* const*, std::uint32_t, std::uintptr_t) override {
        return NewHandle(object);
    }
    // Every answer is a plain 200: none is a redirect.
    bool QueryInfo(platform::InternetHandle, std::uint32_t infoLevel, void* buffer, std::uint32_t& length) override {
        constexpr std::uint32_t kOk = 200;
        if (infoLevel != (platform::kHttpQueryStatusCode | platform::kHttpQueryFlagNumber) || length < sizeof kOk) {
            return false;
        }
        std::memcpy(buffer, &kOk, sizeof kOk);
        length = sizeof kOk;
        return true;
    }
    bool SendRequest(platform::InternetHandle request, const char*, std::uint32_t, const void*,
                     std::uint32_t) override {
        std::string object;
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            object = requests_.at(request).object;
        }
        std::this_thread::sleep_for(delay);
        const std::string body = Answer(object);
        const std::lock_guard<std::mutex> lock(mutex_);
        requests_.at(request).body = body;
        return true;
    }
    bool ReadFile(platform::InternetHandle request, void* buffer, std::uint32_t toRead, std::uint32_t& read) override {
        const std::lock_guard<std::mutex> lock(mutex_);
        Request& open = requests_.at(request);
        read = static_cast<std::uint32_t>(std::min<std::size_t>(toRead, open.body.size() - open.delivered));
        std::memcpy(buffer, open.body.data() + open.delivered, read);
        open.delivered += read;
        return true;
    }
    bool CloseHandle(platform::InternetHandle handle) override {
        const std::lock_guard<std::mutex> lock(mutex_);
        return requests_.erase(handle) > 0;
    }

private:
    struct Request {
        std::string object;
        std::string body;
        std::size_t delivered = 0;
    };

    platform::InternetHandle NewHandle(const std::string& object) {
        const std::lock_guard<std::mutex> lock(mutex_);
        const auto handle = reinterpret_cast<platform::InternetHandle>(++next_);
        requests_[handle] = Request{object, "", 0};
        return handle;
    }

    std::string Answer(const std::string& object) {
        if (object.rfind("/getmessage", 0) == 0) {
            const int n = ++messageRequests;
            return (n / 3) % 2 == 0 ? "News<n.test/a>" : "News<n.test/a>, Flash, More News";
        }
        if (object.rfind("/exchanges", 0) == 0) return ",http://q.test/d?f=x\nL,http://q.test/uk?f=x\n";
        const int n = ++quoteRequests;
        return "\"SYM\"," + std::to_string(10 + n % 7) + ".25,\"4:00PM\"," + (n % 3 == 0 ? "-" : "+") +
               "0.25,9,11,10,1000\n";
    }

    std::mutex mutex_;
    std::uintptr_t next_ = 0;
    std::map<platform::InternetHandle, Request> requests_;
};

const std::string kKey = "HKLM\\Software\\Orvo";

class BarStressTest : public ::testing::Test {
protected:
    void SetUp() override {
        fake.threadMode = platform::fake::FakePlatform::ThreadMode::Real;
        fake.recording = false;  // a long run; the log is not looked at
        app::InitModule(platform_, nullptr);
        fake.templateRects[ticker::kTickerTemplate] = {0, 0, 423, 18};
        fake.SetDword(kKey, "Top", 0);
        fake.SetDword(kKey, "Left", 0);
        fake.SetDword(kKey, "Right", 423);
        fake.SetText(kKey, "Symbols", "IBM, MSFT, VOD.L, A, B, C, D, E");
        window = std::make_unique<ticker::TickerWindow>(platform_, nullptr);
    }

    platform::fake::FakePlatform fake;
    SlowInternet internet;
    platform::Platform platform_{fake, fake, fake, fake, fake, internet, fake};
    std::unique_ptr<ticker::TickerWindow> window;
};

platform::LongParam Point(std::int16_t x, std::int16_t y) {
    return static_cast<platform::LongParam>(static_cast<std::uint32_t>(static_cast<std::uint16_t>(x)) |
                                            static_cast<std::uint32_t>(static_cast<std::uint16_t>(y)) << 16);
}

TEST_F(BarStressTest, RebuildsDataChangesAndScrollingAgainstRunningPasses) {
    int rebuilds = 0;
    // The entry bar's user types the next list and presses OK.
    std::string typed;
    fake.templateControls[symbols::kEntryBarTemplate] = {
        {symbols::kEditField, ""}, {platform::kIdOk, "OK"}, {platform::kIdCancel, "Cancel"},
        {symbols::kPromptControl, "Prompt:"}};
    fake.modalScripts[symbols::kEntryBarTemplate] = [&](platform::fake::FakePlatform& f,
                                                        platform::WindowHandle entry) {
        f.SetWindowText(f.GetDlgItem(entry, symbols::kEditField), typed.c_str());
        f.Send(entry, platform::kWmCommand, platform::kIdOk, 0);
    };
    fake.modalScripts[ticker::kTickerTemplate] = [&](platform::fake::FakePlatform& f, platform::WindowHandle bar) {
        const auto until = std::chrono::steady_clock::now() + 3s;
        for (int step = 1; std::chrono::steady_clock::now() < until; ++step) {
            f.Send(bar, platform::kWmTimer, ticker::SCROLL_TIMER, 0);
            if (step % 5 == 0) f.Send(bar, platform::kWmTimer, ticker::UPDATE_TIMER, 0);
            if (step % 7 == 0) f.Send(bar, platform::kWmCommand, ticker::command::kDaysPercentChange, 0);
            if (step % 11 == 0) {
                // A click on the logo where it shows, else somewhere on the bar.
                std::int16_t x = static_cast<std::int16_t>(step % 400 + 6);
                const std::int32_t logoMiddle = window->logoX + window->logoSize / 2;
                if (logoMiddle > 6 && logoMiddle < 400) x = static_cast<std::int16_t>(logoMiddle);
                f.Send(bar, platform::kWmLButtonDown, 0, Point(x, 9));
                f.Send(bar, platform::kWmLButtonUp, 0, Point(x, 9));
            }
            if (step % 13 == 0) {
                // A drag of the bar there and back.
                f.Send(bar, platform::kWmLButtonDown, 0, Point(50, 9));
                f.Send(bar, platform::kWmMouseMove, platform::kMkLButton, Point(60, 9));
                f.Send(bar, platform::kWmMouseMove, platform::kMkLButton, Point(40, 9));
                f.Send(bar, platform::kWmLButtonUp, 0, Point(40, 9));
            }
            if (step % 31 == 0) {
                typed = step % 2 == 0 ? "IBM, MSFT" : "IBM, MSFT, VOD.L, X, Y";
                // Cancels the running pass.
                f.Send(bar, platform::kWmCommand, ticker::command::kAddRemoveSymbols, 0);
                ++rebuilds;
                if (step % 3 == 0) {
                    // And another list at once, while the cancelled pass
                    // may still be in its download.
                    typed = "MSFT, Z";
                    f.Send(bar, platform::kWmCommand, ticker::command::kAddRemoveSymbols, 0);
                    ++rebuilds;
                }
            }
            f.DeliverPosted();
            std::this_thread::sleep_for(1ms);
        }
        // Exit while passes are still downloading.
        f.Send(bar, platform::kWmTimer, ticker::UPDATE_TIMER, 0);
        f.Send(bar, platform::kWmCommand, ticker::command::kExit, 0);
    };
    window->RunModal(nullptr, 0);
    EXPECT_TRUE(window->Exited());
    window.reset();
    fake.JoinThreads();  // each worker ends by itself, touching nothing of the bar

    EXPECT_GT(rebuilds, 3);
    EXPECT_FALSE(fake.opened.empty()) << "clicks hit items or the logo";
    EXPECT_GT(internet.messageRequests.load(), 10);
    EXPECT_GT(internet.quoteRequests.load(), 50) << "passes ran alongside";
    EXPECT_TRUE(fake.liveDcs.empty()) << "every drawing context released";
    EXPECT_TRUE(fake.liveObjects.empty()) << "every font, brush, pen and bitmap deleted";
}

TEST_F(BarStressTest, ExitsAtEveryMomentOfAPass) {
    internet.delay = 1ms;
    for (int round = 0; round < 20; ++round) {
        fake.modalScripts[ticker::kTickerTemplate] = [&, round](platform::fake::FakePlatform& f,
                                                                platform::WindowHandle bar) {
            f.Send(bar, platform::kWmTimer, ticker::UPDATE_TIMER, 0);
            f.Send(bar, platform::kWmTimer, ticker::UPDATE_TIMER, 0);
            std::this_thread::sleep_for(std::chrono::milliseconds(round));
            f.Send(bar, platform::kWmTimer, ticker::SCROLL_TIMER, 0);
            f.Send(bar, platform::kWmCommand, ticker::command::kExit, 0);
        };
        window->RunModal(nullptr, 0);
        window = std::make_unique<ticker::TickerWindow>(platform_, nullptr);
    }
    window.reset();
    fake.JoinThreads();
    EXPECT_GT(internet.messageRequests.load(), 0);
}

TEST_F(BarStressTest, ExitWithHandoversStillQueued) {
    // Passes hand over quotes that no scroll step takes: they are still in
    // the inbox at Exit, and more arrive after it.
    internet.delay = 0ms;
    fake.SetText(kKey, "Symbols", "A, B, C, D, E, F, G, H, I, J, K, L, M, N, O, P, Q, R, S, T");
    for (int round = 0; round < 20; ++round) {
        window = std::make_unique<ticker::TickerWindow>(platform_, nullptr);
        fake.modalScripts[ticker::kTickerTemplate] = [&, round](platform::fake::FakePlatform& f,
                                                                platform::WindowHandle bar) {
            f.Send(bar, platform::kWmTimer, ticker::UPDATE_TIMER, 0);
            // The message phase's wake-up starts the pass; its quotes pile up.
            for (int i = 0; i < 200 && !window->updating; ++i) {
                f.DeliverPosted();
                std::this_thread::sleep_for(1ms);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(round % 5));
            f.Send(bar, platform::kWmCommand, ticker::command::kExit, 0);
        };
        window->RunModal(nullptr, 0);
        fake.queue.clear();  // wake-ups for a window that is gone
        window.reset();
    }
    fake.JoinThreads();
    EXPECT_GT(internet.quoteRequests.load(), 0);
    EXPECT_TRUE(fake.liveObjects.empty()) << "every font, brush, pen and bitmap deleted";
}

}  // namespace
