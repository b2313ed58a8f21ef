// Text for the HTML page, from bytes that may be anything the system or the
// movie handed over: paths, labels, messages.
#pragma once

#include <string>
#include <string_view>

// Appends bytes as HTML text that is also safe inside a quoted attribute
// value: & < > " ' and control characters as numeric character references
// (a raw carriage return would reach the DOM as a line feed), and each byte
// outside a well-formed UTF-8 sequence as U+FFFD, as the JSON report writes
// it. Nothing in the bytes can open an element or end a value.
void AppendHtmlText(std::string& out, std::string_view bytes);
