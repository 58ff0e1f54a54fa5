#include "config/RegistrationCheck.h"

#include "config/EntryKeys.h"

namespace quorvane {

namespace {

using json = nlohmann::json;

}  // namespace

std::vector<const json*> ChatCommandElements(const json& document) {
  std::vector<const json*> elements;
  if (document.is_null()) {
    return elements;
  }
  if (!document.is_object()) {
    // The library's own type_error 305, as the keyed subscript of registration raises it.
    static_cast<void>(document["ChatCommands"]);
  }
  const auto commands = document.find("ChatCommands");
  if (commands == document.end()) {
    return elements;
  }
  // Iteration yields an array's elements, an object's values, nothing for null and any other
  // value itself, once.
  for (const json& element : *commands) {
    elements.push_back(&element);
  }
  return elements;
}

const std::string& CommandOf(const json& element) {
  static const json kAbsent;
  if (!element.is_object()) {
    return element[kCommandKey.name].get_ref<const std::string&>();  // raises type_error 305
  }
  const auto found = element.find(kCommandKey.name);
  const json& command = found == element.end() ? kAbsent : *found;
  if (!command.is_string()) {
    // The library's own type_error 302, "type must be string, but is ...".
    static_cast<void>(command.get<std::string>());
  }
  return command.get_ref<const std::string&>();
}

std::vector<const std::string*> CheckRegistrableCommands(const json& document) {
  std::vector<const std::string*> commands;
  for (const json* element : ChatCommandElements(document)) {
    commands.push_back(&CommandOf(*element));
  }
  return commands;
}

}  // namespace quorvane
