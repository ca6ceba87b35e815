#pragma once
#include <cstddef>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "output/abstract_output.h"
#include "output/output_factories.h"

// The back ends that found a device, in the order they were tried, and the
// one chosen: what the dialog's tree and `kv3r devices` list, and what a run
// plays through.
class DeviceCatalogue {
 public:
  // The dialog's tree and the back ends' lists have room for 16.
  static constexpr size_t kMaxOutputs = 16;

  // Constructs each back end in order ("Create %s..\n"), skipping one whose
  // constructor throws ("unknown error in %s\n") and dropping one without a
  // device. The first kept one is current.
  explicit DeviceCatalogue(std::span<const OutputFactory> factories);
  DeviceCatalogue(const DeviceCatalogue&) = delete;
  DeviceCatalogue& operator=(const DeviceCatalogue&) = delete;

  size_t Count() const { return outputs.size(); }
  CAbstractOutput& Output(size_t index) const { return *outputs[index]; }
  // Null when no back end found a device.
  CAbstractOutput* Current() const { return current; }
  int Selected() const { return selected; }
  // Back end `backEnd` and its device `device`; false (nothing changed)
  // when either does not exist.
  bool Select(int backEnd, int device);
  // Makes `backEnd` current without choosing a device; false when it does not exist.
  bool SelectBackEnd(int backEnd);

  // A back end, or a device of one, by its number (decimal digits, as
  // `kv3r devices` numbers them) or its exact name; -1 when there is none.
  int FindOutput(const std::string& numberOrName) const;
  static int FindDevice(CAbstractOutput& output, const std::string& numberOrName);

  // A device's name, and the selected device's feature report, read into
  // buffers of the contract's sizes and cut at their ends whatever the back
  // end wrote: what the dialog and kv3r both show.
  static std::string DeviceName(CAbstractOutput& output, int device);
  static std::string FeatureReport(CAbstractOutput& output);

  // Deletes every back end (the engine does this after its AudioThread has stopped).
  void Clear();

 private:
  std::vector<std::unique_ptr<CAbstractOutput>> outputs;
  CAbstractOutput* current = nullptr;
  int selected = 0;
};
