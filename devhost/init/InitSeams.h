#pragma once
// For tests only: a say in what stands at a starter file's place between the moment its copy
// is complete and the move that gives the copy that name. The program includes nothing of this.

#include <filesystem>
#include <functional>

namespace devhost {

// Called with the file's final path just before each copy is moved into place; an empty
// function (the default) does nothing.
void SetBeforePlacing(std::function<void(const std::filesystem::path& target)> hook);

}  // namespace devhost
