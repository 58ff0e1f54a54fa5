#include "devhost/present/JsonLines.h"

#include "devhost/present/Output.h"

namespace devhost {

std::string JsonText(const JsonLine& value) {
  return value.dump(-1, ' ', false, JsonLine::error_handler_t::replace);
}

void PutJson(std::FILE* out, const JsonLine& object) {
  PutText(out, JsonText(object) + "\n");
}

}  // namespace devhost
