#pragma once
// Why a probed command sent nothing, could not be reached, or fails, as data: the catalogue
// words it.

#include <memory>
#include <string>

#include "devhost/rules/FailingRead.h"
#include "devhost/rules/Typable.h"

namespace devhost {

struct ProbeReason {
  enum class Why {
    None,
    Untypable,       // `untypable` says why no typed line reaches it
    Unmatched,       // a typed `value` matches no command
    ReachesOther,    // a typed `value` reaches the command `other`
    Shadowed,        // an earlier registration answers every typed `value`
    SentNothing,     // the plugin sent nothing
    UnknownType,     // its Type, `value`, is none of the reply types
    CommandsObject,  // "ChatCommands" is an object: every use fails
    FailingRead,     // `read` fails
    Braces,          // the reply fails formatting; `value` is its braces doubled, or empty
  };
  Why why = Why::None;
  std::string value;
  std::string other;
  Untypable untypable = Untypable::No;
  std::shared_ptr<const FailingRead> read;  // FailingRead only: a probe result stays small

  bool operator==(const ProbeReason& o) const {
    return why == o.why && value == o.value && other == o.other && untypable == o.untypable;
  }
  bool operator!=(const ProbeReason& o) const { return !(*this == o); }
};

}  // namespace devhost
