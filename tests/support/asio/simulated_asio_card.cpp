// A simulated ASIO card: a COM in-process server implementing IASIO with a
// driver thread that calls the host's buffer switch at the real period. It
// journals the host's calls and captures the first channels' output, so
// tests see what a real card would have played.
#include <atomic>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "output/asio/asio_channel_copy.h"
#include "support/asio/card_interface.h"
#include "support/asio/simulated_asio_config.h"

namespace {

std::atomic<long> serverLocks{0};

// The pattern every buffer starts with: a channel the host leaves alone
// keeps it, and the capture shows that.
constexpr unsigned char kUntouched = 0x5A;

long BytesPerFrame(long type) {
  if (type == kAsioInt16Lsb) return 2;
  if (type == kAsioInt32Lsb) return 4;
  const int width = SilenceBytesPerFrame(type);
  return width > 0 ? width : 4;
}

class SimulatedCard final : public CardInterface {
 public:
  explicit SimulatedCard(const CLSID& id) : classId(id), config(ReadSimulatedAsioConfig(id)) {
    ++serverLocks;
    Journal("create");
  }
  ~SimulatedCard() {
    StopThread();
    WriteCapture();
    Journal("release");
    --serverLocks;
  }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, classId)) {
      *object = this;
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++references); }
  ULONG STDMETHODCALLTYPE Release() override {
    const long left = --references;
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }

  ASIOBool init(void*) override {
    Journal("init");
    return config.Fails("init") ? ASIOFalse : ASIOTrue;
  }
  void getDriverName(char* name) override { std::snprintf(name, 32, "%s", config.name.c_str()); }
  long getDriverVersion() override { return 1; }
  void getErrorMessage(char* text) override { std::snprintf(text, 124, "%s", config.errorMessage.c_str()); }
  ASIOError start() override {
    Journal("start");
    if (config.Fails("start")) return ASE_HWMalfunction;
    if (buffers.empty()) return ASE_InvalidMode;
    StopThread();
    running = true;
    thread = CreateThread(nullptr, 0, &SimulatedCard::Run, this, 0, nullptr);
    return ASE_OK;
  }
  ASIOError stop() override {
    Journal("stop");
    StopThread();
    return ASE_OK;
  }
  ASIOError getChannels(long* inputs, long* outputs) override {
    Journal("getChannels");
    if (config.Fails("getChannels")) return ASE_NotPresent;
    *inputs = config.inputs;
    *outputs = config.outputs;
    return ASE_OK;
  }
  ASIOError getLatencies(long* input, long* output) override {
    Journal("getLatencies");
    if (config.Fails("getLatencies")) return ASE_NotPresent;
    *input = config.inputLatency;
    *output = config.outputLatency;
    return ASE_OK;
  }
  ASIOError getBufferSize(long* minSize, long* maxSize, long* preferred, long* granularity) override {
    Journal("getBufferSize");
    if (config.Fails("getBufferSize")) return ASE_NotPresent;
    *minSize = config.minSize;
    *maxSize = config.maxSize;
    *preferred = config.preferredSize;
    *granularity = config.granularity;
    return ASE_OK;
  }
  ASIOError canSampleRate(ASIOSampleRate rate) override {
    for (double accepted : config.rates) {
      if (accepted == rate) return ASE_OK;
    }
    return ASE_NoClock;
  }
  ASIOError getSampleRate(ASIOSampleRate* rate) override {
    Journal("getSampleRate");
    if (config.Fails("getSampleRate")) return ASE_NotPresent;
    *rate = config.rate;
    return ASE_OK;
  }
  ASIOError setSampleRate(ASIOSampleRate rate) override {
    char line[64];
    std::snprintf(line, sizeof line, "setSampleRate %.0f", rate);
    Journal(line);
    if (canSampleRate(rate) != ASE_OK) return ASE_NoClock;
    config.rate = rate;
    return ASE_OK;
  }
  ASIOError getClockSources(ASIOClockSource* clocks, long* count) override {
    std::memset(clocks, 0, sizeof *clocks);
    std::strcpy(clocks->name, "Internal");
    clocks->isCurrentSource = ASIOTrue;
    *count = 1;
    return ASE_OK;
  }
  ASIOError setClockSource(long reference) override { return reference == 0 ? ASE_OK : ASE_InvalidParameter; }
  ASIOError getSamplePosition(ASIOSamples* position, ASIOTimeStamp* stamp) override {
    ++positionQueries;
    const unsigned long long frames = samplePosition.load();
    position->hi = static_cast<unsigned long>(frames >> 32);
    position->lo = static_cast<unsigned long>(frames);
    const unsigned long long nanoseconds = static_cast<unsigned long long>(GetTickCount()) * 1000000ULL;
    stamp->hi = static_cast<unsigned long>(nanoseconds >> 32);
    stamp->lo = static_cast<unsigned long>(nanoseconds);
    return ASE_OK;
  }
  ASIOError getChannelInfo(ASIOChannelInfo* info) override {
    if (config.Fails("getChannelInfo")) return ASE_NotPresent;
    const long count = info->isInput != ASIOFalse ? config.inputs : config.outputs;
    if (info->channel < 0 || info->channel >= count) return ASE_InvalidParameter;
    info->isActive = ASIOFalse;
    info->channelGroup = 0;
    info->type = config.TypeOf(info->channel);
    std::snprintf(info->name, sizeof info->name, "%s %ld", info->isInput != ASIOFalse ? "In" : "Out",
                  info->channel + 1);
    return ASE_OK;
  }
  ASIOError createBuffers(ASIOBufferInfo* infos, long count, long size, ASIOCallbacks* callbacks) override {
    char line[64];
    std::snprintf(line, sizeof line, "createBuffers %ld %ld", count, size);
    Journal(line);
    if (config.Fails("createBuffers")) return ASE_InvalidMode;
    if (size <= 0 || callbacks == nullptr) return ASE_InvalidParameter;
    disposeBuffers();
    host = *callbacks;
    frames = size;
    // What drivers ask before they run: the engine version, and whether the
    // host handles a reset request, a buffer size change and time info.
    std::snprintf(line, sizeof line, "messages %ld %ld %ld %ld", host.asioMessage(2, 0, nullptr, nullptr),
                  host.asioMessage(1, 3, nullptr, nullptr), host.asioMessage(1, 4, nullptr, nullptr),
                  host.asioMessage(7, 0, nullptr, nullptr));
    Journal(line);
    buffers.resize(static_cast<size_t>(count));
    for (long i = 0; i < count; ++i) {
      Buffer& buffer = buffers[static_cast<size_t>(i)];
      buffer.isInput = infos[i].isInput != ASIOFalse;
      buffer.channel = infos[i].channelNum;
      buffer.width = BytesPerFrame(config.TypeOf(buffer.channel));
      buffer.memory.assign(static_cast<size_t>(2 * size * buffer.width), kUntouched);
      infos[i].buffers[0] = buffer.memory.data();
      infos[i].buffers[1] = buffer.memory.data() + size * buffer.width;
      if (!buffer.isInput && buffer.channel < config.captureChannels) {
        buffer.captured.assign(static_cast<size_t>(config.captureFrames * buffer.width), 0);
      }
    }
    return ASE_OK;
  }
  ASIOError disposeBuffers() override {
    StopThread();
    if (!buffers.empty()) Journal("disposeBuffers");
    WriteCapture();
    buffers.clear();
    return ASE_OK;
  }
  ASIOError controlPanel() override { return ASE_OK; }
  ASIOError future(long, void*) override { return ASE_InvalidParameter; }
  ASIOError outputReady() override {
    if (!config.outputReady) return ASE_NotPresent;
    ++readyCalls;
    return ASE_OK;
  }

 private:
  struct Buffer {
    bool isInput = false;
    long channel = 0;
    long width = 4;
    std::vector<unsigned char> memory;
    std::vector<unsigned char> captured;
  };

  static DWORD WINAPI Run(void* self) {
    static_cast<SimulatedCard*>(self)->Play();
    return 0;
  }

  // Calls the host once per buffer half at the period the rate gives,
  // keeping to a schedule rather than sleeping a fixed time.
  void Play() {
    LARGE_INTEGER frequency;
    LARGE_INTEGER now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    const double period = static_cast<double>(frames) / config.rate * frequency.QuadPart;
    double due = static_cast<double>(now.QuadPart);
    long half = 0;
    while (running.load()) {
      if (config.timeInfo) {
        ASIOTime time{};
        time.timeInfo.sampleRate = config.rate;
        time.timeInfo.samplePosition.lo = static_cast<unsigned long>(samplePosition.load());
        time.timeInfo.flags = kSystemTimeValid | kSamplePositionValid;
        host.bufferSwitchTimeInfo(&time, half, ASIOTrue);
      } else {
        host.bufferSwitch(half, ASIOTrue);
      }
      Capture(half);
      ++switches;
      samplePosition += static_cast<unsigned long long>(frames);
      half ^= 1;
      due += period;
      for (;;) {
        QueryPerformanceCounter(&now);
        const double wait = (due - static_cast<double>(now.QuadPart)) * 1000.0 / frequency.QuadPart;
        if (wait <= 0 || !running.load()) break;
        Sleep(wait >= 2 ? static_cast<DWORD>(wait) - 1 : 0);
      }
    }
  }

  void Capture(long half) {
    const size_t offset = static_cast<size_t>(captureFramesTaken);
    for (Buffer& buffer : buffers) {
      if (buffer.captured.empty()) continue;
      const size_t width = static_cast<size_t>(buffer.width);
      const size_t room = buffer.captured.size() / width - offset;
      const size_t take = room < static_cast<size_t>(frames) ? room : static_cast<size_t>(frames);
      std::memcpy(buffer.captured.data() + offset * width,
                  buffer.memory.data() + static_cast<size_t>(half * frames) * width, take * width);
    }
    captureFramesTaken += frames;
    if (captureFramesTaken > config.captureFrames) captureFramesTaken = config.captureFrames;
  }

  void StopThread() {
    if (thread == nullptr) return;
    running = false;
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    thread = nullptr;
    char line[96];
    std::snprintf(line, sizeof line, "switches %ld positions %ld ready %ld", switches.load(), positionQueries.load(),
                  readyCalls.load());
    Journal(line);
  }

  // Capture file: for each captured output channel in order, a text line
  // "channel <n> width <bytes> frames <count>" and then its raw bytes.
  void WriteCapture() {
    if (config.capture.empty() || captureFramesTaken == 0) return;
    FILE* file = std::fopen(config.capture.c_str(), "wb");
    if (file == nullptr) return;
    for (const Buffer& buffer : buffers) {
      if (buffer.captured.empty()) continue;
      std::fprintf(file, "channel %ld width %ld frames %ld\n", buffer.channel, buffer.width, captureFramesTaken);
      std::fwrite(buffer.captured.data(), 1, static_cast<size_t>(captureFramesTaken * buffer.width), file);
    }
    std::fclose(file);
    captureFramesTaken = 0;
  }

  void Journal(const char* line) {
    if (config.journal.empty()) return;
    if (FILE* file = std::fopen(config.journal.c_str(), "a")) {
      std::fprintf(file, "%s\n", line);
      std::fclose(file);
    }
  }

  std::atomic<long> references{1};
  CLSID classId;
  SimulatedAsioConfig config;
  ASIOCallbacks host{};
  long frames = 0;
  std::vector<Buffer> buffers;
  HANDLE thread = nullptr;
  std::atomic<bool> running{false};
  std::atomic<unsigned long long> samplePosition{0};
  std::atomic<long> switches{0};
  std::atomic<long> positionQueries{0};
  std::atomic<long> readyCalls{0};
  long captureFramesTaken = 0;
};

// One factory per requested class id: every registered key may point its
// class id at this server.
class CardFactory final : public IClassFactory {
 public:
  explicit CardFactory(const CLSID& id) : classId(id) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
      *object = this;
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++references); }
  ULONG STDMETHODCALLTYPE Release() override {
    const long left = --references;
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    auto* card = new SimulatedCard(classId);
    const HRESULT status = card->QueryInterface(iid, object);
    card->Release();
    return status;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
    serverLocks += lock ? 1 : -1;
    return S_OK;
  }

 private:
  std::atomic<long> references{1};
  CLSID classId;
};

}  // namespace

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID classId, REFIID iid, void** object) {
  auto* factory = new CardFactory(classId);
  const HRESULT status = factory->QueryInterface(iid, object);
  factory->Release();
  return status;
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() { return serverLocks.load() == 0 ? S_OK : S_FALSE; }
