// The universal value as the library's value currency: creating, assigning and comparing a
// million values of the integer, float and string kinds. Each operation is set against the same
// operation on plain host Variants of the same kind, measured in the same run: construction,
// copy assignment and VarCompareValue.

#include "BenchSupport.h"
#include "platform/rtl/Variant.h"
#include "runtime/db/UniValue.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

using namespace zv;

namespace {

constexpr int Count = 1'000'000;

enum Kind { kInteger, kFloat, kString };

// Short texts, as cells hold them; distinct so that comparisons do real work.
const std::vector<String>& Texts() {
  static const std::vector<String> texts = [] {
    std::vector<String> t(Count);
    for (int i = 0; i < Count; ++i) t[static_cast<std::size_t>(i)] = "value " + std::to_string(std::int64_t{i} * 7919 % Count);
    return t;
  }();
  return texts;
}

void Set(TvpUniValue& v, Kind kind, int i) {
  switch (kind) {
    case kInteger: v.SetAsInteger(i); break;
    case kFloat: v.SetAsFloat(i * 0.25); break;
    case kString: v.SetAsString(Texts()[static_cast<std::size_t>(i)]); break;
  }
}

Variant Make(Kind kind, int i) {
  switch (kind) {
    case kInteger: return Variant(i);
    case kFloat: return Variant(i * 0.25);
    default: return Variant(Texts()[static_cast<std::size_t>(i)]);
  }
}

std::unique_ptr<TvpUniValue[]> Values(Kind kind, int shift) {
  auto values = std::make_unique<TvpUniValue[]>(Count);
  for (int i = 0; i < Count; ++i) Set(values[static_cast<std::size_t>(i)], kind, (i + shift) % Count);
  return values;
}

std::vector<Variant> Variants(Kind kind, int shift) {
  std::vector<Variant> values;
  values.reserve(Count);
  for (int i = 0; i < Count; ++i) values.push_back(Make(kind, (i + shift) % Count));
  return values;
}

void Finish(benchmark::State& state) { state.SetItemsProcessed(state.iterations() * Count); }

// ---------------------------------------------------------------------------------------------
// Create: a value that holds one datum, then destroyed.

void CreateVariant(benchmark::State& state) {
  const auto kind = static_cast<Kind>(state.range(0));
  Texts();
  for (auto _ : state)
    for (int i = 0; i < Count; ++i) {
      Variant v = Make(kind, i);
      benchmark::DoNotOptimize(v);
    }
  Finish(state);
}

void CreateUniValue(benchmark::State& state) {
  const auto kind = static_cast<Kind>(state.range(0));
  Texts();
  for (auto _ : state)
    for (int i = 0; i < Count; ++i) {
      TvpUniValue v;
      Set(v, kind, i);
      benchmark::DoNotOptimize(v);
    }
  Finish(state);
}

// ---------------------------------------------------------------------------------------------
// Assign: each of a million destinations takes the value of its source.

void AssignVariant(benchmark::State& state) {
  const auto kind = static_cast<Kind>(state.range(0));
  const auto sources = Variants(kind, 0);
  auto dests = Variants(kind, 1);
  for (auto _ : state) {
    for (int i = 0; i < Count; ++i) dests[static_cast<std::size_t>(i)] = sources[static_cast<std::size_t>(i)];
    benchmark::ClobberMemory();
  }
  Finish(state);
}

void AssignUniValue(benchmark::State& state) {
  const auto kind = static_cast<Kind>(state.range(0));
  const auto sources = Values(kind, 0);
  auto dests = Values(kind, 1);
  for (auto _ : state) {
    for (int i = 0; i < Count; ++i) dests[static_cast<std::size_t>(i)].Assign(sources[static_cast<std::size_t>(i)]);
    benchmark::ClobberMemory();
  }
  Finish(state);
}

// ---------------------------------------------------------------------------------------------
// Compare: a million pairs of different values.

void CompareVariant(benchmark::State& state) {
  const auto kind = static_cast<Kind>(state.range(0));
  const auto a = Variants(kind, 0);
  const auto b = Variants(kind, 1);
  for (auto _ : state) {
    int sum = 0;
    for (int i = 0; i < Count; ++i)
      sum += VarCompareValue(a[static_cast<std::size_t>(i)], b[static_cast<std::size_t>(i)]) == vrLessThan ? 1 : 0;
    benchmark::DoNotOptimize(sum);
  }
  Finish(state);
}

void CompareUniValue(benchmark::State& state) {
  const auto kind = static_cast<Kind>(state.range(0));
  const auto a = Values(kind, 0);
  const auto b = Values(kind, 1);
  for (auto _ : state) {
    int sum = 0;
    for (int i = 0; i < Count; ++i)
      sum += a[static_cast<std::size_t>(i)].CompareWith(b[static_cast<std::size_t>(i)], true, true) < 0 ? 1 : 0;
    benchmark::DoNotOptimize(sum);
  }
  Finish(state);
}

std::string Label(const std::string& name) {
  static const char* const kinds[] = {"integer", "float", "string"};
  const std::string op = name.substr(0, name.find("UniValue"));
  const int kind = std::stoi(name.substr(name.rfind('/') + 1));
  return op + " " + kinds[kind];
}

// Each operation in nanoseconds per value against the same operation on Variants of that kind.
void PrintTable(const std::vector<zvbench::TBenchResult>& results) {
  auto nanosPerValue = [](const zvbench::TBenchResult& r) { return r.CpuSeconds / Count * 1e9; };
  std::printf("\n%-24s %14s %20s %8s\n", "operation", "UniValue ns/op", "Variant ns/op", "ratio");
  for (const auto& r : results) {
    const auto pos = r.Name.find("UniValue");
    if (pos == std::string::npos) continue;
    const std::string baselineName = r.Name.substr(0, pos) + "Variant" + r.Name.substr(pos + 8);
    for (const auto& b : results)
      if (b.Name == baselineName) {
        const double t = nanosPerValue(r), base = nanosPerValue(b);
        std::printf("%-24s %14.1f %20.1f %7.2fx\n", Label(r.Name).c_str(), t, base, t / base);
      }
  }
}

}  // namespace

BENCHMARK(CreateVariant)->DenseRange(kInteger, kString)->Unit(benchmark::kMillisecond);
BENCHMARK(CreateUniValue)->DenseRange(kInteger, kString)->Unit(benchmark::kMillisecond);
BENCHMARK(AssignVariant)->DenseRange(kInteger, kString)->Unit(benchmark::kMillisecond);
BENCHMARK(AssignUniValue)->DenseRange(kInteger, kString)->Unit(benchmark::kMillisecond);
BENCHMARK(CompareVariant)->DenseRange(kInteger, kString)->Unit(benchmark::kMillisecond);
BENCHMARK(CompareUniValue)->DenseRange(kInteger, kString)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) { return zvbench::RunBenchmarks(argc, argv, PrintTable); }
