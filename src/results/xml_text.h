#pragma once
#include <string>
#include <string_view>

// Text as an XML document can carry it: UTF-8 (XML's default, so the plain
// version declaration stays right) in which every byte that starts no
// well-formed sequence and every character XML 1.0 forbids (control
// characters other than tab, line feed and carriage return; U+FFFE, U+FFFF)
// becomes '?'. ASCII text without control characters comes back unchanged.
std::string XmlSafeUtf8(std::string_view utf8);

// An 8-bit text of the system or of our tables, made fit for the results file.
std::string XmlTextFromAnsi(std::string_view ansi);
