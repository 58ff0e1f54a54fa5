#pragma once
// Text shown to players goes through fmt as a format string with no arguments: "{{" and "}}"
// show one brace, and a replacement field raises fmt's FormatError (a std::runtime_error) with
// fmt's own text. The text ends at its first zero, as a C string does. This header names no fmt
// type, so the configuration check can ask the plugin's own formatter what a reply does.

#include <string>

namespace quorvane {

std::string FormatWithoutArguments(const char* text);
std::wstring FormatWithoutArguments(const wchar_t* text);

}  // namespace quorvane
