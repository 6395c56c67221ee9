// A quote item: construction from an entry, its fonts, drawing and click.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/constants.h"
#include "platform/fake/fake_platform.h"
#include "quotes/endpoints.h"
#include "quotes/http_get_text.h"
#include "quotes/quote_line.h"
#include "quotes/quote_item.h"

namespace {

using platform::fake::FakePlatform;
using quotes::QuoteItem;

constexpr const char* kSource = "http://q.test/d/quotes.csv?f=sl1t1c1ghpv";
constexpr std::uint32_t kDefaultMask = 0x10000101;

class QuoteItemTest : public ::testing::Test {
protected:
    std::unique_ptr<QuoteItem> Make(const std::string& entry, const std::string& source = kSource) {
        if (!fonts) fonts = std::make_shared<const quotes::ItemFonts>(fake, dc);
        return std::make_unique<QuoteItem>(platform_, entry, dc, source, fonts);
    }

    FakePlatform fake;
    platform::Platform platform_ = fake.AsPlatform();
    platform::DcHandle dc = fake.GetDC(nullptr);
    std::shared_ptr<const quotes::ItemFonts> fonts;
};

TEST_F(QuoteItemTest, ConstructionFromEntries) {
    const std::string home = quotes::HomeSite();
    struct Case {
        std::string entry;
        std::string source;
        std::string label;
        std::string link;
        std::string sourceUrl;
    };
    const Case cases[] = {
        {"ibm", kSource, "ibm", "", std::string(kSource) + "&s=IBM"},
        {"News<some/path>", kSource, "News", "http://some/path", std::string(kSource) + "&s=NEWS"},
        {"Market News", kSource, "Market News", home, kSource},
        {"Market News<x.com/n>", kSource, "Market News", "http://x.com/n", kSource},
        {"IBM", "", "IBM", home, ""},
        {"VOD.L", "http://uk.test/q?f=x&", "VOD.L", "", "http://uk.test/q?f=x&s=VOD.L"},
    };
    for (const Case& c : cases) {
        const auto item = Make(c.entry, c.source);
        EXPECT_EQ(item->label, c.label) << c.entry;
        EXPECT_EQ(item->linkUrl, c.link) << c.entry;
        EXPECT_EQ(item->sourceUrl, c.sourceUrl) << c.entry;
        EXPECT_EQ(item->x, -2000);
        EXPECT_EQ(item->width, 0);
        EXPECT_EQ(item->Right(), -2000);
        EXPECT_TRUE(item->textStale);
        EXPECT_FALSE(item->parsing);
        EXPECT_EQ(item->last, 0);
        EXPECT_EQ(item->volume, 0);
        EXPECT_EQ(item->hdc, dc);
    }
}

TEST_F(QuoteItemTest, TheItemsShareTwoFontsThatGoWithTheLastOfThem) {
    struct Case {
        int dpi;
        int symbolHeight;
        int dataHeight;
    };
    for (const Case c : {Case{96, -16, -13}, Case{120, -20, -16}, Case{72, -12, -10}}) {
        fake.logPixelsY = c.dpi;
        fake.fontsMade.clear();
        const std::size_t liveBefore = fake.liveObjects.size();
        fonts = std::make_shared<const quotes::ItemFonts>(fake, dc);
        auto first = Make("IBM");
        auto second = Make("MSFT");
        ASSERT_EQ(fake.fontsMade.size(), 2u) << "one pair for any number of items";
        EXPECT_STREQ(fake.fontsMade[0].description.faceName, "Arial Bold");
        EXPECT_STREQ(fake.fontsMade[1].description.faceName, "Arial Bold");
        EXPECT_EQ(fake.fontsMade[0].description.height, c.symbolHeight) << c.dpi;
        EXPECT_EQ(fake.fontsMade[1].description.height, c.dataHeight) << c.dpi;
        EXPECT_EQ(fake.fontsMade[0].description.weight, 0);
        EXPECT_EQ(fake.fontsMade[0].description.charSet, platform::kDefaultCharset);
        for (const auto* item : {first.get(), second.get()}) {
            EXPECT_EQ(item->fonts->symbolFont.get(), fake.fontsMade[0].font);
            EXPECT_EQ(item->fonts->dataFont.get(), fake.fontsMade[1].font);
        }
        fonts.reset();
        first.reset();
        EXPECT_EQ(fake.liveObjects.size(), liveBefore + 2) << "kept while an item draws with them";
        second.reset();
        EXPECT_EQ(fake.liveObjects.size(), liveBefore) << "deleted with the last item";
    }
}

TEST_F(QuoteItemTest, DrawStepFormatsMovesDrawsAndMeasures) {
    const auto item = Make("IBM");
    item->last = 105.25;
    item->change = 1.5;
    item->x = 100;
    const platform::GdiObject fontBefore = fake.SelectedObject(dc, "font");

    item->DrawStep(-3, kDefaultMask);

    EXPECT_EQ(item->dataText, "105 1/4 +1 1/2");
    EXPECT_FALSE(item->textStale);
    EXPECT_EQ(item->x, 97);
    ASSERT_EQ(fake.textsDrawn.size(), 2u);
    EXPECT_EQ(fake.textsDrawn[0].text, "IBM ");
    EXPECT_EQ(fake.textsDrawn[0].x, 97);
    EXPECT_EQ(fake.textsDrawn[0].y, 0);
    EXPECT_EQ(fake.textsDrawn[0].font, item->fonts->symbolFont.get());
    EXPECT_EQ(fake.textsDrawn[0].color, 0x00006600u) << "green for a rise";
    EXPECT_EQ(fake.textsDrawn[1].text, "105 1/4 +1 1/2      ");
    EXPECT_EQ(fake.textsDrawn[1].x, 97 + 4 * fake.characterWidth);
    EXPECT_EQ(fake.textsDrawn[1].y, 1);
    EXPECT_EQ(fake.textsDrawn[1].font, item->fonts->dataFont.get());
    EXPECT_EQ(fake.textsDrawn[1].color, 0x00006600u);
    EXPECT_EQ(item->width, (4 + 20) * fake.characterWidth);
    EXPECT_EQ(fake.SelectedObject(dc, "font"), fontBefore) << "the previous font is selected back";
}

TEST_F(QuoteItemTest, DataTextRules) {
    struct Case {
        const char* name;
        double last;
        bool link;
        bool parsing;
        bool stale;
        std::string before;
        std::string after;
        bool staleAfter;
    };
    const Case cases[] = {
        {"stale text is rebuilt", 2.0, false, false, true, "old", "2  +1/2", false},
        {"fresh text is kept", 2.0, false, false, false, "old", "old", false},
        {"no price empties the text, stays stale", 0.0, false, false, true, "old", "", true},
        {"a link never shows data", 2.0, true, false, true, "old", "", true},
        {"a parse in progress keeps the old text", 2.0, false, true, true, "old", "old", true},
        {"even without a price during a parse", 0.0, false, true, true, "old", "old", true},
    };
    for (const Case& c : cases) {
        const auto item = Make(c.link ? "News<x/y>" : "IBM");
        item->last = c.last;
        item->change = 0.5;
        item->parsing = c.parsing;
        item->textStale = c.stale;
        item->dataText = c.before;
        item->DrawStep(0, kDefaultMask);
        EXPECT_EQ(item->dataText, c.after) << c.name;
        EXPECT_EQ(item->textStale, c.staleAfter) << c.name;
    }
}

TEST_F(QuoteItemTest, ColourFollowsTheChange) {
    const auto item = Make("IBM");
    item->last = 1;
    for (const auto& [change, colour] : {std::pair{-0.25, 0x000000DDu}, {0.0, 0x00CC0000u}, {3.0, 0x00006600u}}) {
        item->change = change;
        fake.textsDrawn.clear();
        item->DrawStep(0, 0x100);
        EXPECT_EQ(fake.textsDrawn.at(0).color, colour) << change;
        EXPECT_EQ(fake.textsDrawn.at(1).color, colour) << change;
    }
}

TEST_F(QuoteItemTest, FailedMeasuringCountsTenPixelsPerCharacter) {
    fake.measuringFails = true;
    const auto item = Make("IBM");
    item->DrawStep(0, kDefaultMask);
    EXPECT_EQ(item->width, 40 + 60) << "'IBM ' and six spaces";
    EXPECT_EQ(fake.textsDrawn.at(1).x, item->x + 40);
}

TEST_F(QuoteItemTest, ClickShowsTheLabelInBlackAndOpensTheDetailPage) {
    const std::string home = quotes::HomeSite();
    struct Case {
        std::string entry;
        double last;
        std::string opened;
    };
    const Case cases[] = {
        {"News<x.test/a?b=1&c=2>", 0, home + "/orvo.html?url=http://x.test/a?b=1&c=2&v=5.6&ban=21"},
        {"IBM", 105.25, home + "/orvo.html?s=IBM&v=5.6&ban=21"},
        {"IBM", 0, home + "/orvo.html?url=" + home + "&v=5.6&ban=21"},
        {"Bad<http://x\" --flag \">", 0, home + "/orvo.html?url=http://x%22%20--flag%20%22&v=5.6&ban=21"},
    };
    for (const Case& c : cases) {
        const auto item = Make(c.entry);
        item->last = c.last;
        item->x = 55;
        fake.textsDrawn.clear();
        fake.opened.clear();
        fake.SetTextColor(dc, 0x123456);
        const platform::GdiObject fontBefore = fake.SelectedObject(dc, "font");
        item->Click();
        ASSERT_EQ(fake.textsDrawn.size(), 1u);
        EXPECT_EQ(fake.textsDrawn[0].text, item->label) << "the label alone, no space";
        EXPECT_EQ(fake.textsDrawn[0].x, 55);
        EXPECT_EQ(fake.textsDrawn[0].color, 0u) << "black";
        EXPECT_EQ(fake.textsDrawn[0].font, item->fonts->symbolFont.get());
        EXPECT_EQ(fake.SelectedObject(dc, "font"), fontBefore);
        EXPECT_EQ(fake.opened, std::vector<std::string>{c.opened}) << c.entry;
    }
    const std::string call = fake.CallsNamed("ShellExecute").back();
    EXPECT_EQ(call.substr(0, 24), "ShellExecute(null, null,") << "no owner and no verb";
    EXPECT_EQ(call.substr(call.size() - 14), "null, null, 1)") << "no parameters or directory, SW_SHOWNORMAL";
}

}  // namespace

namespace {

// Reads the item's quote in the steps the update pass takes: the values are
// parsed on a copy and reach the item whole.
void ReadQuote(quotes::QuoteItem& item, platform::Internet& internet) {
    const double lastBefore = item.last;
    std::string body = quotes::HttpGetText(internet, item.sourceUrl);
    quotes::QuoteFields values = item;
    quotes::ApplyQuoteLine(item.sourceUrl, std::move(body), values);
    EXPECT_EQ(item.last, lastBefore) << "nothing reaches the item before the parse ends";
    item.textStale = false;
    item.EndParse(std::move(values));
    EXPECT_TRUE(item.textStale) << "new values make a new text";
}

TEST_F(QuoteItemTest, ParseQuoteFillsTheValuesFromTheDownloadedLine) {
    const auto item = Make("ibm");
    fake.internet.Serve(item->sourceUrl, "\"IBM\",123.5,\"4:00PM\",+1.25,120.0,124.0,122.25,1234567\r\n");
    item->open = 7;
    ReadQuote(*item, fake.internet);
    EXPECT_EQ(item->last, 123.5);
    EXPECT_EQ(item->timeText, "4:00PM");
    EXPECT_EQ(item->change, 1.25);
    EXPECT_EQ(item->low, 120.0);
    EXPECT_EQ(item->high, 124.0);
    EXPECT_EQ(item->prevClose, 122.25);
    EXPECT_EQ(item->volume, 1234567);
    EXPECT_EQ(item->open, 7) << "eight columns leave the opening price alone";
    EXPECT_EQ(item->label, "IBM");
    EXPECT_FALSE(item->parsing);
    EXPECT_EQ(fake.internet.CallsNamed("HttpOpenRequest").size(), 1u);
}

TEST_F(QuoteItemTest, FailedDownloadKeepsThePreviousValues) {
    const auto item = Make("msft");
    item->last = 50;
    item->change = -1;
    // Nobody serves the address: the download yields the error text.
    ReadQuote(*item, fake.internet);
    EXPECT_EQ(item->last, 50);
    EXPECT_EQ(item->change, -1);
    EXPECT_EQ(item->label, "msft");
    EXPECT_FALSE(item->parsing);
}

}  // namespace
