#pragma once
// Everything the service answers, apart from the wire: the home site's
// pages, server message and exchange list, the quote sources, and the
// control endpoints that tests use to change the message and switch faults
// on and off. Safe to call from several threads at once.
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>

#include "service/faults.h"
#include "service/quote_model.h"
#include "service/reply.h"
#include "service/service_options.h"

namespace service {

const char* const kControlPrefix = "/control/";

// "{host}" becomes "127.0.0.1:PORT" and "{port}" the port, so a test that
// lets the service pick its port can still write addresses into a message.
std::string ExpandPlaceholders(const std::string& text, int port);

std::string DefaultServerMessage(int port);
std::string ExchangeList(int port);

class ServiceCore {
public:
    ServiceCore(const ServiceOptions& options, int port);

    // The answer to a GET of the path (decoded) with the raw query, with the
    // fault that is switched on for the path applied.
    Delivery Respond(const std::string& path, const std::string& rawQuery);

    std::string ServerMessage() const;

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

    Reply SetFault(const std::string& rawQuery);
    Reply Reset(const std::string& rawQuery);
    Reply SetMessage(const std::string& rawQuery);
    Reply Reseed(const std::string& rawQuery);

    Reply Quotes(const std::string& rawQuery, const char* defaultFormat, bool withHeader);
    std::optional<Reply> Serve(const Route* first, const Route* last, const std::string& path,
                               const std::string& rawQuery);

    const int port_;
    const std::uint64_t startSeed_;
    const std::string startMessage_;
    QuoteModel quotes_;
    FaultTable faults_;
    mutable std::mutex messageMutex_;
    std::string message_;
};

}  // namespace service
