#include "analyzer/markup.h"

namespace analyzer {

std::string Escaped(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&#39;"; break;
      default: out += c;
    }
  }
  return out;
}

std::string VerdictClass(const std::string& verdict) {
  if (verdict == "measurable cost") return "verdict-measurable";
  if (verdict == "no measurable cost") return "verdict-none";
  return "verdict";
}

}  // namespace analyzer
