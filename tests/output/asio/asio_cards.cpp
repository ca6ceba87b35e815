#include "output/asio/asio_cards.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <vector>

#include "support/asio/asio_card_registration.h"

namespace {

std::string FileName(const std::string& card, const char* suffix) {
  std::string name;
  for (char c : card) {
    if (c == '!') name += "_bang";
    else if (c == '?') name += "_query";
    else name += c == ' ' ? '_' : c;
  }
  return name + suffix;
}

AsioCardKey Card(const char* key, int id, std::vector<std::pair<std::string, std::string>> values) {
  char classId[64];
  std::snprintf(classId, sizeof classId, "{5A5A4B56-0000-4000-8000-0000000000%02X}", id);
  values.emplace_back("journal", FileName(key, ".journal"));
  values.emplace_back("capture", FileName(key, ".capture"));
  return {key, classId, key, SimulatedCardPath(), std::move(values)};
}

std::vector<AsioCardKey> Cards() {
  std::vector<AsioCardKey> cards = {
      Card(kStereo16, 1, {{"inputs", "0"}, {"outputs", "2"}, {"types", "16"}, {"sizes", "64,64,64,1"}}),
      Card(kStereo32, 2, {{"outputs", "2"}, {"types", "18"}, {"sizes", "64,64,64,1"}, {"timeInfo", "0"}}),
      Card(kWide, 3, {{"outputs", "300"}, {"captureChannels", "0"}}),
      Card(kRateZero, 4, {{"rate", "0"}}),
      Card(kRateHigh, 5, {{"rate", "192001"}, {"rates", "192001"}}),
      Card(kMixed, 6, {{"outputs", "3"}, {"types", "17,99,18"}, {"sizes", "64,64,64,1"}, {"captureChannels", "3"}}),
      Card(kFailing, 7, {{"inputs", "1"}, {"fail", "getChannels,getLatencies,getBufferSize"}}),
      Card(kInitFails, 8, {{"fail", "init"}}),
      Card(kName31, 9, {}),
      Card(kName32a, 10, {}),
      Card(kName32b, 11, {}),
  };
  AsioCardKey keyName = Card(kKeyName, 12, {});
  keyName.description.clear();
  cards.push_back(keyName);
  // Listed only if the registry is read carelessly: no "clsid"; a class id
  // never registered; a server file that does not exist.
  cards.push_back({"kv3r a no clsid", "", "no clsid", "", {}});
  cards.push_back({"kv3r unregistered", "{5A5A4B56-0000-4000-8000-0000000000F0}", "unregistered", "", {}});
  cards.push_back({"kv3r missing file",
                   "{5A5A4B56-0000-4000-8000-0000000000F1}",
                   "missing file",
                   "C:\\no such folder\\no_such_card.dll",
                   {}});
  // Registered with a file that exists but is no COM server: creation fails.
  AsioCardKey noServer = Card(kNoServer, 13, {});
  noServer.server = SimulatedCardPath() + ".txt";
  cards.push_back(noServer);
  return cards;
}

class RegisteredCards : public ::testing::Environment {
 public:
  void SetUp() override {
    std::ofstream(SimulatedCardPath() + ".txt") << "not a server\n";
    for (const AsioCardKey& card : Cards()) ASSERT_TRUE(RegisterAsioCard(card)) << card.key;
  }
  void TearDown() override {
    for (const AsioCardKey& card : Cards()) UnregisterAsioCard(card);
    std::remove((SimulatedCardPath() + ".txt").c_str());
  }
};

const auto* const environment = ::testing::AddGlobalTestEnvironment(new RegisteredCards);

}  // namespace

std::string Journal(const std::string& card) {
  std::ifstream file(FileName(card, ".journal"));
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

void ClearJournal(const std::string& card) {
  std::remove(FileName(card, ".journal").c_str());
  std::remove(FileName(card, ".capture").c_str());
}

std::string CaptureFile(const std::string& card) { return FileName(card, ".capture"); }

int JournalCount(const std::string& journal, const std::string& entry) {
  int count = 0;
  for (size_t at = journal.find(entry); at != std::string::npos; at = journal.find(entry, at + 1)) ++count;
  return count;
}
