#pragma once
#include <map>
#include <string>

// Who used a share of the machine: this program (and its user and kernel
// time), each sound server process by name, the kernel's interrupt work,
// every other process together, and what the others leave of the
// system-wide figure. One table of the named parts, so that arithmetic,
// files and tables spell them once.
#define KV3R_PART_FIELDS(X)                \
  X(program, "program")                    \
  X(programUser, "program_user")           \
  X(programKernel, "program_kernel")       \
  X(kernel, "kernel")                      \
  X(other, "other")                        \
  X(unexplained, "unexplained")

namespace results {

// The servers' key in the files.
inline constexpr const char* kServersPart = "servers";

// The parts, each held as a T: a figure, an interval, the values of every round.
template <class T>
struct PartsOf {
#define KV3R_PART_MEMBER(member, key) T member{};
  KV3R_PART_FIELDS(KV3R_PART_MEMBER)
#undef KV3R_PART_MEMBER
  std::map<std::string, T> servers;
  // False when the parts do not fit the machine's busy time: they add up to
  // more than it (the process times are not comparable with the kernel's, as
  // under Wine), or the process list misses most of it. The parts are still
  // filled in, but say nothing then; parts made of others keep it only where
  // all of them had it.
  bool attributionAvailable = true;

  // `visit(key, value)` for every named part, then every server by its name.
  template <class Visit>
  void ForEach(Visit&& visit) const {
#define KV3R_PART_VISIT(member, key) visit(std::string(key), member);
    KV3R_PART_FIELDS(KV3R_PART_VISIT)
#undef KV3R_PART_VISIT
    for (const auto& [name, value] : servers) visit(name, value);
  }
};

// `make(a.part, b.part)` part by part; a server missing on one side is `absent` there.
template <class R, class A, class B, class Make>
PartsOf<R> Combine(const PartsOf<A>& a, const PartsOf<B>& b, const A& absentA, const B& absentB, Make&& make) {
  PartsOf<R> result;
  result.attributionAvailable = a.attributionAvailable && b.attributionAvailable;
#define KV3R_PART_COMBINE(member, key) result.member = make(a.member, b.member);
  KV3R_PART_FIELDS(KV3R_PART_COMBINE)
#undef KV3R_PART_COMBINE
  for (const auto& [name, value] : a.servers) {
    const auto other = b.servers.find(name);
    result.servers[name] = make(value, other == b.servers.end() ? absentB : other->second);
  }
  for (const auto& [name, value] : b.servers) {
    if (!a.servers.count(name)) result.servers[name] = make(absentA, value);
  }
  return result;
}

// `make(p.part)` part by part.
template <class R, class T, class Make>
PartsOf<R> Transform(const PartsOf<T>& parts, Make&& make) {
  PartsOf<R> result;
  result.attributionAvailable = parts.attributionAvailable;
#define KV3R_PART_TRANSFORM(member, key) result.member = make(parts.member);
  KV3R_PART_FIELDS(KV3R_PART_TRANSFORM)
#undef KV3R_PART_TRANSFORM
  for (const auto& [name, value] : parts.servers) result.servers[name] = make(value);
  return result;
}

// The servers together; none at all is 0.
template <class T, class ValueOf>
double ServersTogether(const PartsOf<T>& parts, ValueOf&& valueOf) {
  double sum = 0;
  for (const auto& [name, value] : parts.servers) sum += valueOf(value);
  return sum;
}

}  // namespace results

// In percent of all processors.
using Parts = results::PartsOf<double>;
