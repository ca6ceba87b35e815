#include "analyzer/results_reader.h"

#include <tinyxml2.h>

#include <charconv>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "results/file_bytes.h"
#include "results/lenient_text.h"
#include "results/results_elements.h"

namespace analyzer {

using tinyxml2::XMLElement;
namespace names = results_elements;

namespace {

// Walks the child elements of one element in order, naming what is wrong.
class Children {
 public:
  Children(const XMLElement* parent, std::string& error)
      : parent(parent), next(parent->FirstChildElement()), error(error) {}

  // The next child, which must be called `name`.
  const XMLElement* Take(const char* name) {
    if (next == nullptr) {
      error = std::string("<") + parent->Name() + "> has no <" + name + ">";
      return nullptr;
    }
    if (std::strcmp(next->Name(), name) != 0) {
      error = std::string("<") + parent->Name() + "> has <" + next->Name() + "> where <" + name + "> belongs";
      return nullptr;
    }
    const XMLElement* taken = next;
    next = next->NextSiblingElement();
    return taken;
  }
  bool Has(const char* name) const { return next != nullptr && std::strcmp(next->Name(), name) == 0; }
  bool AtEnd() const { return next == nullptr; }
  bool End() {
    if (next == nullptr) return true;
    error = std::string("<") + parent->Name() + "> has an extra <" + next->Name() + ">";
    return false;
  }

 private:
  const XMLElement* parent;
  const XMLElement* next;
  std::string& error;
};

// The element's text (a text-only element), made valid UTF-8.
bool TextOf(const XMLElement* element, std::string& text, std::string& error) {
  if (element->FirstChildElement() != nullptr) {
    error = std::string("<") + element->Name() + "> holds <" + element->FirstChildElement()->Name() +
            "> where only text belongs";
    return false;
  }
  const char* raw = element->GetText();
  text = LenientUtf8(raw != nullptr ? raw : "");
  return true;
}

std::string_view Trimmed(std::string_view s) {
  while (!s.empty() && std::strchr(" \t\r\n", s.front()) != nullptr) s.remove_prefix(1);
  while (!s.empty() && std::strchr(" \t\r\n", s.back()) != nullptr) s.remove_suffix(1);
  return s;
}

bool Whole(const XMLElement* element, uint32_t& value, std::string& error) {
  std::string text;
  if (!TextOf(element, text, error)) return false;
  const std::string_view digits = Trimmed(text);
  const auto [end, failure] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (digits.empty() || failure != std::errc() || end != digits.data() + digits.size()) {
    error = std::string("<") + element->Name() + "> \"" + text + "\" is not a whole number";
    return false;
  }
  return true;
}

bool Reading(const XMLElement* data, size_t index, double& value, std::string& error) {
  std::string text;
  if (!TextOf(data, text, error)) return false;
  const std::string_view number = Trimmed(text);
  const auto [end, failure] = std::from_chars(number.data(), number.data() + number.size(), value);
  if (number.empty() || failure != std::errc() || end != number.data() + number.size()) {
    error = "reading " + std::to_string(index + 1) + " \"" + text + "\" is not a number";
    return false;
  }
  if (!std::isfinite(value)) {
    error = "reading " + std::to_string(index + 1) + " \"" + text + "\" is not finite";
    return false;
  }
  return true;
}

bool ReadSet(const XMLElement* element, size_t index, ResultsSet& set, std::string& error) {
  Children children(element, error);
  const XMLElement* mode = children.Take(names::kTestMode);
  if (mode == nullptr || !TextOf(mode, set.mode, error)) return false;
  const XMLElement* device = children.Take(names::kDeviceName);
  if (device == nullptr || !TextOf(device, set.device, error)) return false;
  const XMLElement* emitters = children.Take(names::kEmitters);
  if (emitters == nullptr || !Whole(emitters, set.emitters, error)) return false;
  const XMLElement* rate = children.Take(names::kSampleRate);
  if (rate == nullptr || !Whole(rate, set.sampleRate, error)) return false;
  const XMLElement* xRam = children.Take(names::kXRam);
  std::string onOff;
  if (xRam == nullptr || !TextOf(xRam, onOff, error)) return false;
  set.xRam = Trimmed(onOff) == names::kOn;
  while (children.Has(names::kResult)) {
    const XMLElement* result = children.Take(names::kResult);
    Children inside(result, error);
    const XMLElement* data = inside.Take(names::kData);
    double value = 0;
    if (data == nullptr || !inside.End() || !Reading(data, set.readings.size(), value, error)) break;
    set.readings.push_back(value);
  }
  if (error.empty()) children.End();
  if (!error.empty()) {
    error = "set " + std::to_string(index + 1) + " (" + set.mode + "): " + error;
    return false;
  }
  return true;
}

// tinyxml2's error, as a reader of the file would say it.
std::string XmlFault(tinyxml2::XMLError id) {
  switch (id) {
    case tinyxml2::XML_ERROR_PARSING_ELEMENT: return "a tag is malformed";
    case tinyxml2::XML_ERROR_PARSING_ATTRIBUTE: return "an attribute is malformed";
    case tinyxml2::XML_ERROR_PARSING_TEXT: return "text is malformed";
    case tinyxml2::XML_ERROR_PARSING_CDATA: return "a CDATA section is not closed";
    case tinyxml2::XML_ERROR_PARSING_COMMENT: return "a comment is not closed";
    case tinyxml2::XML_ERROR_PARSING_DECLARATION: return "a declaration is malformed";
    case tinyxml2::XML_ERROR_PARSING_UNKNOWN: return "a <! or <? mark is not closed";
    case tinyxml2::XML_ERROR_EMPTY_DOCUMENT: return "there is no element";
    case tinyxml2::XML_ERROR_MISMATCHED_ELEMENT: return "a closing tag does not match its opening tag";
    case tinyxml2::XML_ERROR_PARSING: return "a tag is not closed";
    case tinyxml2::XML_ELEMENT_DEPTH_EXCEEDED: return "elements are nested too deeply";
    default: return "it cannot be parsed";
  }
}

std::string TooLarge(uintmax_t bytes) {
  return "the file is too large (" + std::to_string(bytes / (1024 * 1024)) + " MB; results files stay under " +
         std::to_string(kMaxResultsFileBytes / (1024 * 1024)) + " MB)";
}

}  // namespace

bool ParseResults(std::string_view bytes, ResultsFile& file, std::string& error) {
  error.clear();
  if (Trimmed(bytes).empty()) {
    error = "the file is empty";
    return false;
  }
  if (bytes.size() > kMaxResultsFileBytes) {
    error = TooLarge(bytes.size());
    return false;
  }
  // Whitespace as written: the texts are compared as they stand.
  tinyxml2::XMLDocument document(true, tinyxml2::PRESERVE_WHITESPACE);
  if (const tinyxml2::XMLError failure = document.Parse(bytes.data(), bytes.size());
      failure != tinyxml2::XML_SUCCESS) {
    const int line = document.ErrorLineNum();
    error = "not a well-formed XML file (" + (line > 0 ? "line " + std::to_string(line) + ": " : std::string()) +
            XmlFault(failure) + ")";
    return false;
  }
  const XMLElement* root = document.RootElement();
  if (root == nullptr || std::strcmp(root->Name(), names::kTestResults) != 0) {
    error = root == nullptr
                ? "no root element"
                : "the root element is <" + LenientUtf8(root->Name()) + ">, not <" + names::kTestResults + ">";
    return false;
  }
  if (root->NextSiblingElement() != nullptr) {
    error = "a second root element";
    return false;
  }
  Children children(root, error);
  const XMLElement* version = children.Take(names::kVersion);
  if (version == nullptr || !TextOf(version, file.version, error)) return false;
  const XMLElement* dateTime = children.Take(names::kDateTime);
  if (dateTime == nullptr || !TextOf(dateTime, file.dateTime, error)) return false;
  const XMLElement* cpu = children.Take(names::kCpu);
  if (cpu == nullptr || !TextOf(cpu, file.cpu, error)) return false;
  file.sets.clear();
  while (children.Has(names::kResultsSet)) {
    ResultsSet set;
    if (!ReadSet(children.Take(names::kResultsSet), file.sets.size(), set, error)) return false;
    file.sets.push_back(std::move(set));
  }
  if (!children.End()) return false;
  if (file.sets.empty()) {
    error = std::string("<") + names::kTestResults + "> has no <" + names::kResultsSet + ">";
    return false;
  }
  return true;
}

bool ReadResultsFile(const std::string& path, ResultsFile& file, std::string& error) {
  file.path = path;
  std::error_code failure;
  const std::filesystem::path where(path);
  if (std::filesystem::is_directory(where, failure)) {
    error = "is a folder, not a results file";
    return false;
  }
  // Its size first: a huge file is refused before any of it is read.
  if (const auto size = std::filesystem::file_size(where, failure); !failure && size > kMaxResultsFileBytes) {
    error = TooLarge(size);
    return false;
  }
  std::string bytes;
  if (!ReadFileBytes(path, kMaxResultsFileBytes, bytes, error)) return false;
  return ParseResults(bytes, file, error);
}

}  // namespace analyzer
