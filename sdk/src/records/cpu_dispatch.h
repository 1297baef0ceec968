// Instruction-set levels the hot loops have paths for, and the best one this processor runs.
// The library is built for baseline x86-64 so that it runs on every machine; a loop with a
// faster path picks it at run time. Every path gives the baseline's results bit for bit,
// and tests run each path the processor has on the same inputs.
#pragma once

#include <array>

namespace irdex {

enum class CpuLevel { Baseline, Sse41, Avx2 };

inline constexpr std::array<CpuLevel, 3> kCpuLevels{CpuLevel::Baseline, CpuLevel::Sse41,
                                                    CpuLevel::Avx2};

// Lower case, for test names and messages.
inline const char* cpuLevelName(CpuLevel level) {
  switch (level) {
    case CpuLevel::Sse41: return "sse41";
    case CpuLevel::Avx2: return "avx2";
    case CpuLevel::Baseline: break;
  }
  return "baseline";
}

// Whether this build has a path for `level` and this processor (and its operating system,
// which must save the wide registers) can run it.
inline bool cpuRuns(CpuLevel level) {
#if defined(__x86_64__) || defined(__i386__)
  // Harmless when already done; needed when called before the runtime's own constructors.
  __builtin_cpu_init();
  switch (level) {
    case CpuLevel::Sse41: return __builtin_cpu_supports("sse4.1");
    case CpuLevel::Avx2: return __builtin_cpu_supports("avx2");
    case CpuLevel::Baseline: break;
  }
  return true;
#else
  return level == CpuLevel::Baseline;
#endif
}

// Decided once per process: the processor does not change under a running program.
inline CpuLevel bestCpuLevel() {
  static const CpuLevel best = cpuRuns(CpuLevel::Avx2)    ? CpuLevel::Avx2
                               : cpuRuns(CpuLevel::Sse41) ? CpuLevel::Sse41
                                                          : CpuLevel::Baseline;
  return best;
}

}  // namespace irdex
