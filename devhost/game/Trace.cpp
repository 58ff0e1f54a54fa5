#include "devhost/game/Trace.h"

#include <utility>

namespace devhost {

bool TraceEvent::operator==(const TraceEvent& other) const {
  return kind == other.kind && name == other.name && pointer == other.pointer &&
         bytes == other.bytes && result == other.result;
}

void Trace::Start() {
  std::lock_guard<std::mutex> lock(mutex_);
  events_.clear();
  active_ = true;
}

std::vector<TraceEvent> Trace::Stop() {
  std::lock_guard<std::mutex> lock(mutex_);
  active_ = false;
  return std::exchange(events_, {});
}

void Trace::Record(TraceEvent::Kind kind, std::string_view name, const void* pointer,
                   std::uint64_t bytes, const void* result) {
  if (!active_) {
    return;
  }
  Record(TraceEvent{kind, std::string(name), pointer, bytes, result});
}

void Trace::Record(TraceEvent event) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (active_) {
    events_.push_back(std::move(event));
  }
}

}  // namespace devhost
