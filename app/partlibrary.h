#pragma once

#include <string>

// A part of the program that is a library of its own is found beside the
// executable (build directory, portable copy) or where an install puts it,
// <prefix>/libexec/quorvane for an executable in <prefix>/bin; any prefix
// works.
struct PartLibrary
{
    std::string path;   // empty when not found
    std::string looked; // the places tried, "、"-separated, when not found
};

PartLibrary findPartLibrary(const char *fileName);
