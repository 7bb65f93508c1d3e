// Throughput of the LZH and RLE codecs and of zlib on the same corpus buffers, in bytes per
// second of uncompressed data, with a one-line summary of the compression ratios.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "codecs/frame.h"
#include "platform/stream.h"

namespace {

using Bytes = std::vector<uint8_t>;

struct CorpusFile {
  std::string name;
  Bytes data;
  Bytes lzh, rle, zlib6;  // compressed once, for the decoders
};

// A read-only stream over a buffer that the benchmark owns: no copy per iteration.
class ViewStream : public platform::ByteStream {
 public:
  explicit ViewStream(const Bytes& b) : data_(b) {}
  int32_t Read(void* buffer, int32_t count) override {
    size_t n = std::min<size_t>(count, data_.size() - pos_);
    std::copy_n(data_.data() + pos_, n, static_cast<uint8_t*>(buffer));
    pos_ += n;
    return static_cast<int32_t>(n);
  }
  int32_t Write(const void*, int32_t) override { return 0; }
  int64_t Seek(int64_t offset, platform::SeekOrigin origin) override {
    int64_t base = origin == platform::SeekOrigin::soBeginning ? 0
                   : origin == platform::SeekOrigin::soCurrent ? static_cast<int64_t>(pos_)
                                                               : static_cast<int64_t>(data_.size());
    pos_ = static_cast<size_t>(base + offset);
    return static_cast<int64_t>(pos_);
  }

 private:
  const Bytes& data_;
  size_t pos_ = 0;
};

// A sink that keeps its buffer between iterations.
class SinkStream : public platform::ByteStream {
 public:
  Bytes data;
  int32_t Read(void*, int32_t) override { return 0; }
  int32_t Write(const void* buffer, int32_t count) override {
    auto p = static_cast<const uint8_t*>(buffer);
    data.insert(data.end(), p, p + count);
    return count;
  }
  int64_t Seek(int64_t, platform::SeekOrigin) override { return static_cast<int64_t>(data.size()); }
};

Bytes Run(const Bytes& in, uint8_t method, codecs::TCProcessMode mode, int32_t destSize) {
  ViewStream source(in);
  SinkStream dest;
  uint32_t sum = 0;
  codecs::RunCodec(nullptr, dest, source, static_cast<int32_t>(in.size()), destSize, method, sum,
                   mode);
  return std::move(dest.data);
}

Bytes Deflate(const Bytes& in, int level) {
  uLongf size = compressBound(in.size());
  Bytes out(size);
  if (compress2(out.data(), &size, in.data(), in.size(), level) != Z_OK)
    throw std::runtime_error("deflate failed");
  out.resize(size);
  return out;
}

std::vector<CorpusFile>& Corpus() {
  static std::vector<CorpusFile> files = [] {
    const char* env = std::getenv("QUARNEL_CORPUS");
    std::filesystem::path dir = env ? env : QUARNEL_DEFAULT_CORPUS;
    std::vector<CorpusFile> result;
    for (const char* name : {"text", "source", "binary", "image"}) {
      std::ifstream in(dir / name, std::ios::binary);
      if (!in) continue;
      CorpusFile f{name, Bytes(std::istreambuf_iterator<char>(in), {}), {}, {}, {}};
      f.lzh = Run(f.data, codecs::mtLZH, codecs::pmCompress, 0);
      f.rle = Run(f.data, codecs::mtRLE, codecs::pmCompress, 0);
      f.zlib6 = Deflate(f.data, 6);
      result.push_back(std::move(f));
    }
    if (result.empty()) {
      std::fprintf(stderr, "no corpus in %s: run bench/make_corpus.sh first\n", dir.c_str());
      std::exit(1);
    }
    return result;
  }();
  return files;
}

void Report(benchmark::State& state, const CorpusFile& f) {
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(f.data.size()));
  state.SetLabel(f.name);
}

void BM_LzhDecode(benchmark::State& state) {
  const CorpusFile& f = Corpus()[state.range(0)];
  for (auto _ : state)
    benchmark::DoNotOptimize(
        Run(f.lzh, codecs::mtLZH, codecs::pmExpand, static_cast<int32_t>(f.data.size())));
  Report(state, f);
}
void BM_LzhEncode(benchmark::State& state) {
  const CorpusFile& f = Corpus()[state.range(0)];
  for (auto _ : state) benchmark::DoNotOptimize(Run(f.data, codecs::mtLZH, codecs::pmCompress, 0));
  Report(state, f);
}
void BM_RleDecode(benchmark::State& state) {
  const CorpusFile& f = Corpus()[state.range(0)];
  for (auto _ : state) benchmark::DoNotOptimize(Run(f.rle, codecs::mtRLE, codecs::pmExpand, 0));
  Report(state, f);
}
void BM_RleEncode(benchmark::State& state) {
  const CorpusFile& f = Corpus()[state.range(0)];
  for (auto _ : state) benchmark::DoNotOptimize(Run(f.data, codecs::mtRLE, codecs::pmCompress, 0));
  Report(state, f);
}
void BM_ZlibInflate(benchmark::State& state) {
  const CorpusFile& f = Corpus()[state.range(0)];
  Bytes out(f.data.size());
  for (auto _ : state) {
    uLongf size = out.size();
    if (uncompress(out.data(), &size, f.zlib6.data(), f.zlib6.size()) != Z_OK)
      state.SkipWithError("inflate failed");
    benchmark::DoNotOptimize(out.data());
  }
  Report(state, f);
}
void BM_ZlibDeflate6(benchmark::State& state) {
  const CorpusFile& f = Corpus()[state.range(0)];
  for (auto _ : state) benchmark::DoNotOptimize(Deflate(f.data, 6));
  Report(state, f);
}

void CorpusArgs(benchmark::internal::Benchmark* b) {
  for (size_t i = 0; i < Corpus().size(); ++i) b->Arg(static_cast<int>(i));
  b->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_LzhDecode)->Apply(CorpusArgs);
BENCHMARK(BM_LzhEncode)->Apply(CorpusArgs);
BENCHMARK(BM_RleDecode)->Apply(CorpusArgs);
BENCHMARK(BM_RleEncode)->Apply(CorpusArgs);
BENCHMARK(BM_ZlibInflate)->Apply(CorpusArgs);
BENCHMARK(BM_ZlibDeflate6)->Apply(CorpusArgs);

// One line with the compression ratios (compressed / original) over the whole corpus.
void PrintRatioSummary() {
  size_t raw = 0, lzh = 0, rle = 0, z6 = 0;
  for (const auto& f : Corpus()) {
    raw += f.data.size();
    lzh += f.lzh.size();
    rle += f.rle.size();
    z6 += f.zlib6.size();
  }
  std::fprintf(stderr, "ratio: corpus %zu bytes, lzh %.4f, rle %.4f, zlib-6 %.4f\n", raw,
               double(lzh) / raw, double(rle) / raw, double(z6) / raw);
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  PrintRatioSummary();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
