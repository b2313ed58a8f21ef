// A movie's path as the reports that must be UTF-8 (JSON, HTML) name it.
#pragma once

#include <string>
#include <string_view>

// The path as the system's file manager shows it. The Windows exe receives
// paths in the ANSI code page (its arguments and the names the A functions
// find), so there each character is converted from that code page to UTF-8,
// and a byte the code page cannot map becomes U+FFFD. Elsewhere a path is
// bytes with no code page of its own: they are returned as they are, and the
// writers keep what is UTF-8 in them.
std::string DisplayPath(std::string_view path);
