#pragma once
#include <cstdint>
#include <type_traits>

// The parts of libjack's C interface this back end calls, declared here
// because the library is loaded at run time and no development package is
// used. Client and port are opaque to clients.

struct jack_client_t;
struct jack_port_t;
using jack_nframes_t = uint32_t;
using jack_options_t = int;  // JackOptions bits
using jack_status_t = int;   // JackStatus bits

inline constexpr jack_options_t JackNoStartServer = 0x01;
inline constexpr jack_status_t JackFailure = 0x01;
inline constexpr jack_status_t JackServerFailed = 0x10;

inline constexpr unsigned long JackPortIsInput = 0x1;
inline constexpr unsigned long JackPortIsOutput = 0x2;
inline constexpr unsigned long JackPortIsPhysical = 0x4;

inline constexpr const char* JACK_DEFAULT_AUDIO_TYPE = "32 bit float mono audio";

using JackProcessCallback = int (*)(jack_nframes_t frames, void* argument);
using JackXRunCallback = int (*)(void* argument);
using JackShutdownCallback = void (*)(void* argument);
using JackMessageFunction = void (*)(const char* message);

// The entry points in table order: X(name, function type). Every one must be
// there for the library to be used.
#define KV3R_JACK_ENTRY_POINTS(X)                                                                             \
  X(jack_client_open, jack_client_t*(const char*, jack_options_t, jack_status_t*, ...))                       \
  X(jack_client_close, int(jack_client_t*))                                                                   \
  X(jack_set_process_callback, int(jack_client_t*, JackProcessCallback, void*))                               \
  X(jack_set_xrun_callback, int(jack_client_t*, JackXRunCallback, void*))                                     \
  X(jack_on_shutdown, void(jack_client_t*, JackShutdownCallback, void*))                                      \
  X(jack_activate, int(jack_client_t*))                                                                       \
  X(jack_deactivate, int(jack_client_t*))                                                                     \
  X(jack_port_register, jack_port_t*(jack_client_t*, const char*, const char*, unsigned long, unsigned long)) \
  X(jack_port_unregister, int(jack_client_t*, jack_port_t*))                                                  \
  X(jack_port_get_buffer, void*(jack_port_t*, jack_nframes_t))                                                \
  X(jack_port_name, const char*(const jack_port_t*))                                                          \
  X(jack_get_ports, const char**(jack_client_t*, const char*, const char*, unsigned long))                    \
  X(jack_connect, int(jack_client_t*, const char*, const char*))                                              \
  X(jack_free, void(void*))                                                                                   \
  X(jack_get_sample_rate, jack_nframes_t(jack_client_t*))                                                     \
  X(jack_get_buffer_size, jack_nframes_t(jack_client_t*))                                                     \
  X(jack_is_realtime, int(jack_client_t*))                                                                    \
  X(jack_cpu_load, float(jack_client_t*))                                                                     \
  X(jack_set_error_function, void(JackMessageFunction))                                                       \
  X(jack_set_info_function, void(JackMessageFunction))

// The function table, one pointer per entry point in the order above.
struct JackFunctions {
#define KV3R_JACK_FIELD(name, type) std::add_pointer_t<type> name = nullptr;
  KV3R_JACK_ENTRY_POINTS(KV3R_JACK_FIELD)
#undef KV3R_JACK_FIELD
};

inline constexpr int kJackEntryPointCount = 20;
static_assert(sizeof(JackFunctions) == kJackEntryPointCount * sizeof(void (*)()));
