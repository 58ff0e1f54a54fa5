#pragma once
// Whether every chat command of a document can be registered, judged before any is: a start
// that fails half-way would leave the host holding callbacks of an unloaded library, and a
// reload must not swap in a document that start-up would refuse.

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace quorvane {

// The elements of "ChatCommands" in registration order: an array's elements, an object's
// member values in key order, a scalar itself once. A null document, or a missing or null
// "ChatCommands", gives none. A document of another kind than object raises the JSON
// library's type_error 305.
std::vector<const nlohmann::json*> ChatCommandElements(const nlohmann::json& document);

// The element's "Command" text. type_error 305 when the element is not an object, 302 when
// "Command" is missing (read as null) or not a string.
const std::string& CommandOf(const nlohmann::json& element);

// Both of the above for every element, in registration order, before anything is registered:
// the "Command" texts (pointing into `document`), or the first element's error, exactly as
// registering would raise it.
std::vector<const std::string*> CheckRegistrableCommands(const nlohmann::json& document);

}  // namespace quorvane
