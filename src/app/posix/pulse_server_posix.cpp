#include <chrono>
#include <thread>

#include "app/pulse_server.h"
#include "platform/dynamic_library.h"

namespace {

// The few libpulse entry points asked, declared as the library exports them.
struct pa_mainloop;
struct pa_mainloop_api;
struct pa_context;
struct pa_operation;
// The leading fields of pa_server_info, read through the library's pointer.
struct ServerInfo {
  const char* userName;
  const char* hostName;
  const char* serverVersion;
  const char* serverName;
};
using InfoCallback = void (*)(pa_context*, const ServerInfo*, void*);
constexpr int kNoAutospawn = 1;  // PA_CONTEXT_NOAUTOSPAWN
constexpr int kReady = 4, kFailed = 5, kTerminated = 6;

struct Pulse {
  pa_mainloop* (*mainloopNew)();
  pa_mainloop_api* (*mainloopApi)(pa_mainloop*);
  int (*iterate)(pa_mainloop*, int block, int* result);
  void (*mainloopFree)(pa_mainloop*);
  pa_context* (*contextNew)(pa_mainloop_api*, const char* name);
  int (*connect)(pa_context*, const char* server, int flags, const void* spawn);
  int (*state)(pa_context*);
  pa_operation* (*serverInfo)(pa_context*, InfoCallback, void* data);
  void (*operationUnref)(pa_operation*);
  void (*disconnect)(pa_context*);
  void (*contextUnref)(pa_context*);
};

template <typename F>
bool Bind(platform::LibraryHandle library, const char* name, F& function) {
  function = reinterpret_cast<F>(platform::FindLibrarySymbol(library, name));
  return function != nullptr;
}

bool BindAll(platform::LibraryHandle library, Pulse& p) {
  return Bind(library, "pa_mainloop_new", p.mainloopNew) && Bind(library, "pa_mainloop_get_api", p.mainloopApi) &&
         Bind(library, "pa_mainloop_iterate", p.iterate) && Bind(library, "pa_mainloop_free", p.mainloopFree) &&
         Bind(library, "pa_context_new", p.contextNew) && Bind(library, "pa_context_connect", p.connect) &&
         Bind(library, "pa_context_get_state", p.state) && Bind(library, "pa_context_get_server_info", p.serverInfo) &&
         Bind(library, "pa_operation_unref", p.operationUnref) &&
         Bind(library, "pa_context_disconnect", p.disconnect) && Bind(library, "pa_context_unref", p.contextUnref);
}

// Turns the loop without blocking until `done` or the deadline: a server
// that hangs must not hang kv3r.
template <typename Done>
bool TurnUntil(const Pulse& p, pa_mainloop* loop, std::chrono::steady_clock::time_point deadline, Done done) {
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline || p.iterate(loop, 0, nullptr) < 0) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

std::string Ask(const Pulse& p) {
  pa_mainloop* loop = p.mainloopNew();
  if (loop == nullptr) return {};
  std::string answer;
  pa_context* context = p.contextNew(p.mainloopApi(loop), "kv3r");
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
  if (context != nullptr && p.connect(context, nullptr, kNoAutospawn, nullptr) >= 0) {
    const bool ready = TurnUntil(p, loop, deadline,
                                 [&] {
                                   const int state = p.state(context);
                                   return state == kReady || state == kFailed || state == kTerminated;
                                 }) &&
                       p.state(context) == kReady;
    bool answered = false;
    const InfoCallback take = [](pa_context*, const ServerInfo* info, void* data) {
      auto* result = static_cast<std::pair<std::string*, bool*>*>(data);
      if (info != nullptr && info->serverName != nullptr) {
        *result->first = info->serverName;
        if (info->serverVersion != nullptr) *result->first += std::string(" ") + info->serverVersion;
      }
      *result->second = true;
    };
    std::pair<std::string*, bool*> result{&answer, &answered};
    if (ready) {
      if (pa_operation* operation = p.serverInfo(context, take, &result)) {
        TurnUntil(p, loop, deadline, [&] { return answered; });
        p.operationUnref(operation);
      }
    }
    p.disconnect(context);
  }
  if (context != nullptr) p.contextUnref(context);
  p.mainloopFree(loop);
  return answer;
}

}  // namespace

std::string PulseServerAnswer() {
  platform::LibraryHandle library = platform::LoadDynamicLibrary("libpulse.so.0");
  Pulse pulse{};
  std::string answer;
  if (library != nullptr && BindAll(library, pulse)) answer = Ask(pulse);
  platform::FreeDynamicLibrary(library);
  return answer;
}
