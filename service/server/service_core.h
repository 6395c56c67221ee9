#pragma once
// Everything the service answers, apart from the wire: the home site's
// pages, server message and exchange list, the quote sources, and the
// control endpoints that tests use to change the message, the exchange list
// and quote lines and to switch faults on and off. Safe to call from
// several threads at once.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "service/http/delivery.h"
#include "service/simulated/fault_table.h"
#include "service/simulated/quote_model.h"
#include "service/simulated/quote_pins.h"
#include "service/http/reply.h"
#include "service/server/resettable_text.h"
#include "service/service_options.h"
#include "service/sources/live_gateway.h"

namespace service {

const char* const kControlPrefix = "/control/";

// "{host}" becomes "127.0.0.1:PORT" and "{port}" the port, so a test that
// lets the service pick its port can still write addresses into a message.
std::string ExpandPlaceholders(const std::string& text, int port);

// With simulated quotes the message carries an item that says so, so that
// nobody takes them for real.
std::string DefaultServerMessage(int port, bool simulated = true);
std::string ExchangeList(int port);

bool IsControlPath(const std::string& path);

class ServiceCore {
public:
    // deadPort: a port on which nobody listens, for the redirect-dead fault.
    ServiceCore(const ServiceOptions& options, int port, int deadPort = 0);

    // The answer to a GET of the path (decoded) with the raw query, with the
    // fault that is switched on for the path (and its symbols) applied.
    Delivery Respond(const std::string& path, const std::string& rawQuery);

    std::string ServerMessage() const;
    std::size_t RememberedSymbols() const;

private:
    using Page = Reply (ServiceCore::*)(const std::string& rawQuery);
    struct Route {
        const char* path;
        Page page;
    };
    static const Route kPages[];
    static const Route kControls[];

    Reply Home(const std::string& rawQuery);
    Reply Help(const std::string& rawQuery);
    Reply News(const std::string& rawQuery);
    Reply Message(const std::string& rawQuery);
    Reply Exchanges(const std::string& rawQuery);
    Reply DefaultQuotes(const std::string& rawQuery);
    Reply OpeningQuotes(const std::string& rawQuery);
    Reply Detail(const std::string& rawQuery);
    Reply Status(const std::string& rawQuery);

    Reply SetFault(const std::string& rawQuery);
    Reply Reset(const std::string& rawQuery);
    Reply SetMessage(const std::string& rawQuery);
    Reply SetExchanges(const std::string& rawQuery);
    Reply Pin(const std::string& rawQuery);
    Reply Unpin(const std::string& rawQuery);
    Reply Reseed(const std::string& rawQuery);

    Reply Quotes(const std::string& rawQuery, const char* defaultFormat, bool withHeader);
    Reply PreferredDetail(const std::string& symbol);
    std::optional<Reply> Serve(const Route* first, const Route* last, const std::string& path,
                               const std::string& rawQuery);
    Redirects RedirectsFor(const std::string& path, const std::string& rawQuery) const;

    const int port_;
    const int deadPort_;
    const std::uint64_t startSeed_;
    QuoteModel quotes_;
    // Live mode only: the random walk is then never used for a quote.
    std::unique_ptr<LiveGateway> live_;
    FaultTable faults_;
    PinnedQuotes pins_;
    ResettableText message_;
    ResettableText exchanges_;
    const std::optional<std::string> detailUrl_;
    const std::string firstSource_;
};

}  // namespace service
