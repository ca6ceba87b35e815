#pragma once
#include <gtest/gtest.h>

#include <tinyxml2.h>

#include <map>
#include <string>
#include <vector>

#include "analyzer/written_results.h"

// The analyzer's HTML reports read back by an XML parser.

// Every element called `name` below `root`, in document order.
inline void Collect(const tinyxml2::XMLElement* root, const char* name,
                    std::vector<const tinyxml2::XMLElement*>& found) {
  for (const tinyxml2::XMLElement* e = root->FirstChildElement(); e != nullptr; e = e->NextSiblingElement()) {
    if (std::string(e->Name()) == name) found.push_back(e);
    Collect(e, name, found);
  }
}
inline std::vector<const tinyxml2::XMLElement*> All(const tinyxml2::XMLElement* root, const char* name) {
  std::vector<const tinyxml2::XMLElement*> found;
  Collect(root, name, found);
  return found;
}
inline std::string Text(const tinyxml2::XMLElement* e) { return e->GetText() != nullptr ? e->GetText() : ""; }
inline std::string Class(const tinyxml2::XMLElement* e) {
  return e->Attribute("class") != nullptr ? e->Attribute("class") : "";
}

// The report, which must be well-formed.
struct Report {
  explicit Report(const std::string& path) {
    const std::string html = ReadTextFile(path);
    EXPECT_EQ(document.Parse(html.c_str(), html.size()), tinyxml2::XML_SUCCESS) << document.ErrorStr();
    EXPECT_EQ(html.find("<script"), std::string::npos);
    EXPECT_EQ(html.find("http:"), html.find("http://www.w3.org/")) << "nothing fetched from elsewhere";
  }
  const tinyxml2::XMLElement* Root() const { return document.RootElement(); }
  // The dots of the chart whose heading starts with `title`, by series class.
  std::map<std::string, std::vector<std::string>> Dots(const std::string& title) const {
    std::map<std::string, std::vector<std::string>> dots;
    for (const tinyxml2::XMLElement* svg : All(Root(), "svg")) {
      if (std::string(svg->Attribute("aria-label")).rfind(title, 0) != 0) continue;
      for (const tinyxml2::XMLElement* circle : All(svg, "circle")) {
        dots[Class(circle)].push_back(Text(circle->FirstChildElement("title")));
      }
    }
    return dots;
  }
  tinyxml2::XMLDocument document;
};
