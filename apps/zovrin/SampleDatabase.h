#pragma once
// The sample database Zovrin opens when it is given none: a few thousand customers with
// several field types, Unicode names, NULLs and long notes.

#include <string>

namespace zovrin {

// Creates the database at path when no file is there; returns false when it cannot.
bool EnsureSampleDatabase(const std::string& path);

}  // namespace zovrin
