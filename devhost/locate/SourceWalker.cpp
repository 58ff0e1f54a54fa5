#include "devhost/locate/SourceWalker.h"

#include <utility>

namespace devhost {

using json = nlohmann::json;

const MemberSource* EntrySource::Find(std::string_view key) const {
  for (const MemberSource& member : members) {
    if (member.key == key) {
      return &member;
    }
  }
  return nullptr;
}

const MemberSource* SourceWalker::TopMember(std::string_view key) const {
  for (const MemberSource& member : top_) {
    if (member.key == key) {
      return &member;
    }
  }
  return nullptr;
}

void SourceWalker::Token(int depth, Event event, const json& parsed, std::size_t begin,
                         std::size_t end) {
  const bool child_value = event == Event::value && !frames_.empty() &&
                           static_cast<std::size_t>(depth) == frames_.size();
  switch (event) {
    case Event::object_start:
    case Event::array_start:
      Open(event, parsed, begin);
      break;
    case Event::key:
      Key(parsed.get_ref<const std::string&>(), {begin, end});
      break;
    case Event::object_end:
    case Event::array_end:
      frames_.pop_back();
      break;
    case Event::value:
      if (frames_.empty()) {
        document_ = {begin, end};
      } else if (child_value) {
        Value(parsed, {begin, end});
      }
      break;
  }
  last_was_child_value_ = child_value;
}

SourceWalker::Role SourceWalker::RoleOfChild(bool object) const {
  const Frame& parent = frames_.back();
  switch (parent.role) {
    case Role::Top:
      if (parent.object && parent.has_key && !parent.repeated && parent.key == "ChatCommands") {
        return object ? Role::CommandsObject : Role::Commands;
      }
      return Role::Other;
    case Role::Commands:
    case Role::CommandsObject:
      return object ? Role::Entry : Role::Other;
    case Role::Entry:
      return Role::EntryValue;
    default:
      return Role::Other;
  }
}

void SourceWalker::Open(Event event, const json& parsed, std::size_t begin) {
  const bool object = event == Event::object_start;
  Frame frame;
  frame.object = object;
  frame.role = frames_.empty() ? Role::Top : RoleOfChild(object);
  frame.container = &parsed;
  frame.bracket = begin;
  if (frame.role == Role::Entry) {
    entry_ = EntrySource{};
  }
  frames_.push_back(std::move(frame));
}

void SourceWalker::Key(const std::string& key, Span span) {
  Frame& frame = frames_.back();
  // Members are added when complete, so an earlier one of the same key is there already.
  frame.repeated = frame.container->find(key) != frame.container->end();
  frame.key = key;
  frame.has_key = true;
  if (frame.repeated) {
    RepeatedKeySource repeat;
    repeat.key = key;
    repeat.pointer = PointerOf(frames_.size()) + PointerSegment(key);
    repeat.key_span = span;
    if (frames_.size() >= 3 && frames_[1].role == Role::Commands) {
      repeat.entry = frames_[1].completed;
    }
    repeats_.push_back(std::move(repeat));
  }
  if (frame.role == Role::Top) {
    top_.push_back({key, span, {}, {}});
  } else if (frame.role == Role::Entry) {
    entry_.members.push_back({key, span, {}, {}});
  }
}

void SourceWalker::Value(const json& parsed, Span span) {
  Frame& parent = frames_.back();
  const bool repeated = parent.repeated;
  if (repeated) {
    RepeatedKeySource& repeat = repeats_.back();
    repeat.ignored_is_object = parsed.is_object();
    repeat.ignored_is_array = parsed.is_array();
    if (!parsed.is_object() && !parsed.is_array()) {
      repeat.ignored = parsed.dump();
    }
    parent.repeated = false;
  }
  switch (parent.role) {
    case Role::Top:
      if (!parent.object) {
        break;  // a document of another kind; no member holds entries
      }
      top_.back().value = span;
      if (!repeated && parent.key == "ChatCommands") {
        if (parsed.is_object()) {
          // Registered in the order of their keys, as the plugin iterates an object.
          std::size_t position = 0;
          for (const auto& member : parsed.items()) {
            for (auto& [key, source] : by_key_) {
              if (key == member.key()) {
                EntryDone(member.value(), position, std::move(source));
                break;
              }
            }
            ++position;
          }
          by_key_.clear();
        } else if (!parsed.is_array() && !parsed.is_null()) {
          // A single value stands for one entry.
          EntrySource source;
          source.pointer = "/ChatCommands";
          source.value = span;
          EntryDone(parsed, 0, std::move(source));
        }
      }
      break;
    case Role::Commands:
      if (!parsed.is_object()) {
        entry_ = EntrySource{};
      }
      entry_.value = span;
      entry_.pointer = "/ChatCommands/" + std::to_string(parent.completed);
      EntryDone(parsed, parent.completed, std::move(entry_));
      break;
    case Role::CommandsObject:
      if (!parsed.is_object()) {
        entry_ = EntrySource{};
      }
      entry_.value = span;
      entry_.pointer = "/ChatCommands" + PointerSegment(parent.key);
      if (!repeated) {
        by_key_.emplace_back(parent.key, std::move(entry_));
      }
      break;
    case Role::Entry:
      entry_.members.back().value = span;
      break;
    case Role::EntryValue:
      if (!parent.object) {
        entry_.members.back().elements.push_back(span);
      }
      break;
    case Role::Other:
      break;
  }
  parent.has_key = false;
  ++parent.completed;
}

void SourceWalker::EntryDone(const json& entry, std::size_t position, EntrySource&& source) {
  if (judge_) {
    judge_(entry, position, source);
  }
}

std::string SourceWalker::PointerOf(std::size_t frames) const {
  std::string pointer;
  for (std::size_t i = 0; i + 1 < frames; ++i) {
    const Frame& frame = frames_[i];
    pointer += frame.object ? PointerSegment(frame.key) : "/" + std::to_string(frame.completed);
  }
  return pointer;
}

void SourceWalker::Failed(const quorvane::ParseStop& stop) {
  stop_ = stop;
  for (std::size_t i = 0; i < frames_.size(); ++i) {
    const Frame& frame = frames_[i];
    OpenContainer open;
    open.object = frame.object;
    open.bracket = frame.bracket;
    open.pointer = PointerOf(i + 1);
    if (i + 1 == frames_.size()) {
      open.after_value = last_was_child_value_ && !stop.separator;
      open.expects_key = frame.object && !frame.has_key && !open.after_value;
    }
    open_at_stop_.push_back(std::move(open));
  }
}

}  // namespace devhost
