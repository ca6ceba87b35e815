#include "app/device_loss_message.h"

std::string LostDeviceSubject(const std::string& backEnd, const std::string& openalOutput,
                              const std::string& pulseAnswer) {
  const std::string output = openalOutput.substr(0, openalOutput.find(','));
  if (backEnd == "JACK" || (backEnd == "OpenAL" && output == "jack")) return "The JACK server";
  if (backEnd == "OpenAL" && (output == "pulse" || (output.empty() && !pulseAnswer.empty()))) {
    if (pulseAnswer.find("PipeWire") != std::string::npos) return "The PipeWire server";
    if (pulseAnswer.find("PulseAudio") != std::string::npos) return "The PulseAudio server";
    return "The pulse server";
  }
  return "The " + backEnd + " device";
}

std::string DeviceLossMessage(const std::string& subject, const DeviceLoss& loss) {
  static const char* const kWhen[] = {"before", "during", "at the end of"};
  const std::string test = loss.test == "Empty CPU test" ? "the empty test" : loss.test;
  return subject + " went away " + kWhen[static_cast<int>(loss.moment)] + " " + test;
}
