#pragma once
// Request handling of the meter-management server: a function from a method name and a request
// body to a reply envelope, with no sockets involved. The HTTP shell (HttpServer) only maps
// paths and verbs onto it.

#include "Store.h"

#include <nlohmann/json.hpp>

#include <optional>
#include <string>
#include <vector>

namespace nemora {

using Json = nlohmann::json;            // request bodies
using Row = nlohmann::ordered_json;     // reply rows keep their keys in the documented order

// The reply of every method: {"settings": {"success": "1"|"0", "message": ...}, "data": [...]}.
struct Envelope {
    bool success = false;
    std::string message;
    Row data = Row::array();
    int httpStatus = 200;   // 200 for every answer of a method; the shell uses others for transport faults

    static Envelope ok(std::string message, Row rows = Row::array());
    static Envelope refused(std::string message, int httpStatus = 200);
    std::string toJson() const;
};

enum class Verb { Get, Post };

class Server {
public:
    explicit Server(Store& store);

    // Answers one call. Never throws: a body that is not a JSON object, a missing key, a value
    // of the wrong JSON type, an unknown method or a failure inside give success "0" and a message,
    // and a refused change leaves the database as it was.
    Envelope handle(const std::string& method, const std::string& body);
    // The same, after checking that the method is called with its verb.
    Envelope handle(Verb verb, const std::string& method, const std::string& body);

    // The answer to a verb the method is not called with (or to an unknown method).
    static Envelope wrongVerb(const std::string& method);

    // Every method the server answers, in the order of the client's MethodCatalogue.
    static const std::vector<std::string>& methods();
    // The verb a method is called with; nullopt for an unknown method.
    static std::optional<Verb> verbOf(const std::string& method);

    // The fixed ID of the main account, which can be neither deleted nor locked out.
    static constexpr const char* kMainUserId = "BC56F01A-D7E2-49B1-BA35-255A56D3E9D9";

private:
    Store& m_store;
};

}  // namespace nemora
