// Form streaming of a root that owns 3,000 components: writing and reading the binary form,
// and the conversions to and from the textual form. Each figure is in components per second;
// the first benchmark (writing the binary form) is the baseline the others are compared with.

#include "BenchSupport.h"
#include "TestComponents.h"

#include "platform/classes/FormText.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>

using namespace zv;
using namespace zvtest;

namespace {

constexpr int ComponentCount = 3000;

std::unique_ptr<TSampleRoot> BuildForm() {
  RegisterSampleClasses();
  auto root = std::make_unique<TSampleRoot>(nullptr);
  root->SetName("Form1");
  root->SetCaption("A form with many components");
  TSample* previous = nullptr;
  for (int i = 0; i < ComponentCount; ++i) {
    auto* c = new TSample(root.get());
    c->SetName("Sample" + std::to_string(i));
    c->SetCount(i * 37 - 5000);
    c->SetCaption("Caption of component number " + std::to_string(i));
    c->SetRatio(i / 7.0);
    c->SetMoods({smCalm, smAngry});
    c->SetPrice(Currency::FromScaled(i * 12345));
    if (i % 10 == 0) c->SetWide(u"wide \u00E9t\u00E9");
    if (i % 50 == 0) static_cast<TSampleItem*>(c->Items()->Add())->SetTitle("item");
    c->SetPeer(previous);
    previous = c;
  }
  return root;
}

struct Fixture {
  std::unique_ptr<TSampleRoot> root = BuildForm();
  std::vector<std::uint8_t> binary = ComponentToBinary(root.get());
  String text = ComponentToText(root.get());
};

const Fixture& Data() {
  static const Fixture data;
  return data;
}

void Finish(benchmark::State& state) {
  state.SetItemsProcessed(state.iterations() * ComponentCount);
  state.counters["components/s"] =
      benchmark::Counter(static_cast<double>(ComponentCount), benchmark::Counter::kIsIterationInvariantRate);
}

void WriteBinary(benchmark::State& state) {
  TSampleRoot* root = Data().root.get();
  for (auto _ : state) {
    TMemoryStream stream;
    TWriter writer(stream);
    writer.WriteRootComponent(root);
    benchmark::DoNotOptimize(stream.Memory().data());
  }
  Finish(state);
}

void ReadBinary(benchmark::State& state) {
  const auto& binary = Data().binary;
  for (auto _ : state) {
    std::unique_ptr<TComponent> root(BinaryToComponent(binary));
    benchmark::DoNotOptimize(root.get());
    state.PauseTiming();  // destroying the form is not reading it
    root.reset();
    state.ResumeTiming();
  }
  Finish(state);
}

void BinaryToText(benchmark::State& state) {
  const auto& binary = Data().binary;
  for (auto _ : state) {
    TMemoryStream in;
    in.WriteBuffer(binary.data(), static_cast<std::int64_t>(binary.size()));
    in.SetPosition(0);
    TMemoryStream out;
    ObjectBinaryToText(in, out);
    benchmark::DoNotOptimize(out.Memory().data());
  }
  Finish(state);
}

void TextToBinary(benchmark::State& state) {
  const auto& text = Data().text;
  for (auto _ : state) {
    TStringStream in(text);
    TMemoryStream out;
    ObjectTextToBinary(in, out);
    benchmark::DoNotOptimize(out.Memory().data());
  }
  Finish(state);
}

void ComponentToTextRoundTrip(benchmark::State& state) {
  TSampleRoot* root = Data().root.get();
  for (auto _ : state) {
    std::unique_ptr<TComponent> copy(TextToComponent(ComponentToText(root)));
    benchmark::DoNotOptimize(copy.get());
    state.PauseTiming();
    copy.reset();
    state.ResumeTiming();
  }
  Finish(state);
}

void PrintTable(const std::vector<zvbench::TBenchResult>& results) {
  const double baseline = results.front().CpuSeconds;
  std::printf("\n%-28s %16s %22s\n", "benchmark", "components/s", "CPU time vs baseline");
  for (const auto& r : results)
    std::printf("%-28s %16.0f %21.2fx\n", r.Name.c_str(), r.CpuSeconds > 0 ? ComponentCount / r.CpuSeconds : 0.0,
                r.CpuSeconds / baseline);
}

}  // namespace

BENCHMARK(WriteBinary)->Unit(benchmark::kMillisecond);  // the baseline
BENCHMARK(ReadBinary)->Unit(benchmark::kMillisecond);
BENCHMARK(BinaryToText)->Unit(benchmark::kMillisecond);
BENCHMARK(TextToBinary)->Unit(benchmark::kMillisecond);
BENCHMARK(ComponentToTextRoundTrip)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) { return zvbench::RunBenchmarks(argc, argv, PrintTable); }
