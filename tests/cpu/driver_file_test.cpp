#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "cpu/driver_file.h"
#include "platform/process.h"

namespace {

std::string DriverPath() { return platform::ExecutableDirectory() + "QZCore32.sys"; }

std::vector<char> ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<char> Resource(WORD id) {
  HRSRC found = FindResourceExA(nullptr, MAKEINTRESOURCEA(20), MAKEINTRESOURCEA(id), 1049);
  if (found == nullptr) return {};
  const char* bytes = static_cast<const char*>(LockResource(LoadResource(nullptr, found)));
  return {bytes, bytes + SizeofResource(nullptr, found)};
}

// A driver image: a PE file of the native subsystem for the given machine.
void ExpectNativeImage(const std::vector<char>& image, WORD machine) {
  ASSERT_GT(image.size(), 0x200u);
  EXPECT_EQ(image[0], 'M');
  EXPECT_EQ(image[1], 'Z');
  uint32_t header = 0;
  std::memcpy(&header, image.data() + 0x3C, 4);
  ASSERT_LT(header + 0x60u, image.size());
  EXPECT_EQ(std::memcmp(image.data() + header, "PE\0\0", 4), 0);
  WORD imageMachine = 0, subsystem = 0;
  std::memcpy(&imageMachine, image.data() + header + 4, 2);
  std::memcpy(&subsystem, image.data() + header + 24 + 68, 2);
  EXPECT_EQ(imageMachine, machine);
  EXPECT_EQ(subsystem, IMAGE_SUBSYSTEM_NATIVE);
}

TEST(DriverFileTest, ProgramCarriesBothDriverBuilds) {
  ExpectNativeImage(Resource(130), IMAGE_FILE_MACHINE_I386);
  ExpectNativeImage(Resource(133), IMAGE_FILE_MACHINE_AMD64);
}

TEST(DriverFileTest, WrittenHiddenBesideTheProgramReplacedAndRemoved) {
  const std::string path = DriverPath();
  DeleteFileA(path.c_str());
  ASSERT_TRUE(WriteDriverFile(nullptr));
  const DWORD attributes = GetFileAttributesA(path.c_str());
  ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(attributes & FILE_ATTRIBUTE_HIDDEN);
  EXPECT_EQ(ReadAll(path), Resource(130));

  // A second start replaces whatever a previous one left there.
  {
    std::ofstream junk(path, std::ios::binary | std::ios::trunc);
    junk << "left over from an earlier start, and longer than nothing";
  }
  ASSERT_TRUE(WriteDriverFile(nullptr));
  EXPECT_EQ(ReadAll(path), Resource(130));

  EXPECT_TRUE(DeleteDriverFile());
  EXPECT_EQ(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES);
  // Nothing left to delete is no failure.
  EXPECT_TRUE(DeleteDriverFile());
}

TEST(DriverFileTest, UnwritablePlaceIsAFailureNotACrash) {
  // A directory in the file's place: it cannot be created, as in a
  // read-only program directory.
  const std::string path = DriverPath();
  DeleteFileA(path.c_str());
  ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr));
  EXPECT_FALSE(WriteDriverFile(nullptr));
  EXPECT_TRUE(DeleteDriverFile());
  RemoveDirectoryA(path.c_str());

  // A module without the resource writes nothing.
  EXPECT_FALSE(WriteDriverFile(GetModuleHandleA("kernel32")));
  EXPECT_EQ(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
