#include "config/FirstValueParser.h"

#include <iterator>
#include <optional>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace {

using json = nlohmann::json;

// A SAX consumer like the library's own DOM builder, except that a key already present in its
// object makes the consumer skip that key's whole value.
class FirstKeyWinsBuilder {
 public:
  // `read`, when given with an observer, counts the bytes the parser has taken so far.
  FirstKeyWinsBuilder(json& root, ParseObserver* observer, const std::size_t* read)
      : root_(root), observer_(observer), read_(read) {}

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
      if (observer_ != nullptr) {
        repeated_key_ = std::move(key);
        repeated_at_ = *read_;
        repeated_in_ = EntryPosition();
      }
      return true;
    }
    pending_ = &object[std::move(key)];
    return true;
  }

  template <class Exception>
  bool parse_error(std::size_t position, const std::string& last_token, const Exception& error) {
    if (observer_ != nullptr) {
      // A syntax error stands at the end of the token that broke it; a number out of range
      // is pointed at where it starts.
      constexpr bool kRange = std::is_same_v<Exception, nlohmann::detail::out_of_range>;
      observer_->Failed(kRange && position >= last_token.size() ? position - last_token.size() + 1
                                                                : position);
    }
    throw error;  // keeps the exception's own type, id and text
  }

 private:
  bool Add(json&& value) {
    if (skip_depth_ > 0) {
      return true;
    }
    if (skip_next_value_) {
      skip_next_value_ = false;
      Ignored(value);
      return true;
    }
    Place(std::move(value));
    return true;
  }

  bool Open(json::value_t kind) {
    if (skip_depth_ > 0 || skip_next_value_) {
      if (skip_next_value_) {
        Ignored(json(kind));
      }
      skip_next_value_ = false;
      ++skip_depth_;
      return true;
    }
    if (stack_.size() >= kMaxConfigDepth) {
      if (observer_ != nullptr) {
        observer_->Failed(*read_);
      }
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

  void Ignored(const json& value) {
    if (observer_ != nullptr) {
      observer_->RepeatedKey(repeated_at_, repeated_key_, value, repeated_in_);
    }
  }

  // The position in "ChatCommands" of the entry being built, while the parse is inside one.
  std::optional<std::size_t> EntryPosition() const {
    if (stack_.size() < 3 || !root_.is_object() || !stack_[1]->is_array()) {
      return std::nullopt;
    }
    const auto commands = root_.find("ChatCommands");
    if (commands == root_.end() || &*commands != stack_[1]) {
      return std::nullopt;
    }
    return stack_[1]->size() - 1;
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
  ParseObserver* observer_;
  const std::size_t* read_;
  std::string repeated_key_;
  std::size_t repeated_at_ = 0;
  std::optional<std::size_t> repeated_in_;
  std::vector<json*> stack_;
  json* pending_ = nullptr;
  std::size_t skip_depth_ = 0;
  bool skip_next_value_ = false;
};

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Bytes of a text, counting how many the parser has taken: where it stands at each callback.
class CountingIterator {
 public:
  using iterator_category = std::input_iterator_tag;
  using value_type = char;
  using difference_type = std::ptrdiff_t;
  using pointer = const char*;
  using reference = const char&;

  CountingIterator(const char* at, std::size_t* read) : at_(at), read_(read) {}
  reference operator*() const { return *at_; }
  CountingIterator& operator++() {
    ++at_;
    ++*read_;
    return *this;
  }
  CountingIterator operator++(int) {
    CountingIterator before = *this;
    ++*this;
    return before;
  }
  bool operator==(const CountingIterator& other) const { return at_ == other.at_; }
  bool operator!=(const CountingIterator& other) const { return at_ != other.at_; }

 private:
  const char* at_;
  std::size_t* read_;
};

}  // namespace

std::string_view WithoutByteOrderMark(std::string_view text) {
  if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
    text.remove_prefix(kByteOrderMark.size());
  }
  return text;
}

nlohmann::json ParseFirstValue(std::string_view text, ParseObserver* observer) {
  // The library would skip a mark at the start of its input, which would let a second one
  // through unnoticed; it is stray bytes before the value like any other.
  if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
    if (observer != nullptr) {
      observer->Failed(1);
    }
    throw json::parse_error::create(
        101, nlohmann::detail::position_t{1, 1, 0},
        "syntax error while parsing value - a second byte-order mark (EF BB BF); a file may "
        "begin with one only",
        nullptr);
  }
  json document;
  if (observer == nullptr) {
    FirstKeyWinsBuilder builder(document, nullptr, nullptr);
    json::sax_parse(text.begin(), text.end(), &builder, json::input_format_t::json,
                    /*strict=*/false);
    return document;
  }
  std::size_t read = 0;
  FirstKeyWinsBuilder builder(document, observer, &read);
  const char* const begin = text.data();
  json::sax_parse(CountingIterator(begin, &read), CountingIterator(begin + text.size(), &read),
                  &builder, json::input_format_t::json, /*strict=*/false);
  observer->ValueEnd(read);
  return document;
}
