#include "config/FirstValueParser.h"

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace {

using json = nlohmann::json;

// A SAX consumer like the library's own DOM builder, except that a key already present in its
// object makes the consumer skip that key's whole value.
class FirstKeyWinsBuilder {
 public:
  explicit FirstKeyWinsBuilder(json& root) : root_(root) {}

  bool null() { return Add(json(nullptr)); }
  bool boolean(bool value) { return Add(json(value)); }
  bool number_integer(json::number_integer_t value) { return Add(json(value)); }
  bool number_unsigned(json::number_unsigned_t value) { return Add(json(value)); }
  bool number_float(json::number_float_t value, const json::string_t& /*text*/) {
    return Add(json(value));
  }
  bool string(json::string_t& value) { return Add(json(std::move(value))); }
  bool binary(json::binary_t& value) { return Add(json::binary(std::move(value))); }

  bool start_object(std::size_t /*elements*/) { return Open(json::value_t::object); }
  bool start_array(std::size_t /*elements*/) { return Open(json::value_t::array); }
  bool end_object() { return Close(); }
  bool end_array() { return Close(); }

  bool key(json::string_t& key) {
    if (skip_depth_ > 0) {
      return true;
    }
    json& object = *stack_.back();
    if (object.contains(key)) {
      skip_next_value_ = true;
      return true;
    }
    pending_ = &object[std::move(key)];
    return true;
  }

  template <class Exception>
  bool parse_error(std::size_t /*position*/, const std::string& /*last_token*/,
                   const Exception& error) {
    throw error;  // keeps the exception's own type, id and text
  }

 private:
  bool Add(json&& value) {
    if (skip_depth_ > 0) {
      return true;
    }
    if (skip_next_value_) {
      skip_next_value_ = false;
      return true;
    }
    Place(std::move(value));
    return true;
  }

  bool Open(json::value_t kind) {
    if (skip_depth_ > 0 || skip_next_value_) {
      skip_next_value_ = false;
      ++skip_depth_;
      return true;
    }
    if (stack_.size() >= kMaxConfigDepth) {
      throw std::runtime_error("config.json nests deeper than " + std::to_string(kMaxConfigDepth) +
                               " levels");
    }
    stack_.push_back(Place(json(kind)));
    return true;
  }

  bool Close() {
    if (skip_depth_ > 0) {
      --skip_depth_;
      return true;
    }
    stack_.pop_back();
    return true;
  }

  json* Place(json&& value) {
    if (stack_.empty()) {
      root_ = std::move(value);
      return &root_;
    }
    json& parent = *stack_.back();
    if (parent.is_array()) {
      parent.push_back(std::move(value));
      return &parent.back();
    }
    *pending_ = std::move(value);
    return pending_;
  }

  json& root_;
  std::vector<json*> stack_;
  json* pending_ = nullptr;
  std::size_t skip_depth_ = 0;
  bool skip_next_value_ = false;
};

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

}  // namespace

std::string_view WithoutByteOrderMark(std::string_view text) {
  if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
    text.remove_prefix(kByteOrderMark.size());
  }
  return text;
}

nlohmann::json ParseFirstValue(std::string_view text) {
  // The library would skip a mark at the start of its input, which would let a second one
  // through unnoticed; it is stray bytes before the value like any other.
  if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
    throw json::parse_error::create(
        101, nlohmann::detail::position_t{1, 1, 0},
        "syntax error while parsing value - a second byte-order mark (EF BB BF); a file may "
        "begin with one only",
        nullptr);
  }
  json document;
  FirstKeyWinsBuilder builder(document);
  json::sax_parse(text.begin(), text.end(), &builder, json::input_format_t::json,
                  /*strict=*/false);
  return document;
}
