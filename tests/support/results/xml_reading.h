#pragma once
#include <string>
#include <vector>

#include <tinyxml2.h>

// The texts of a "ResultsSet"'s children, in order: "TestMode=Fake 2D", ...,
// and "Result=12.50000000" for each reading.
inline std::vector<std::string> SetContents(const tinyxml2::XMLElement* set) {
  std::vector<std::string> items;
  for (const tinyxml2::XMLElement* child = set->FirstChildElement(); child != nullptr;
       child = child->NextSiblingElement()) {
    const std::string name = child->Name();
    if (name == "Result") {
      const tinyxml2::XMLElement* data = child->FirstChildElement("Data");
      items.push_back("Result=" + std::string(data && data->GetText() ? data->GetText() : "?"));
    } else {
      items.push_back(name + "=" + (child->GetText() ? child->GetText() : ""));
    }
  }
  return items;
}
