// expand and compress: one codec run over raw bytes, from a file or standard input to a file or
// standard output.
#include <filesystem>
#include <limits>
#include <memory>
#include <system_error>

#include "codecs/frame.h"
#include "platform/exceptions.h"
#include "platform/stream.h"
#include "tools/commands.h"
#include "tools/console.h"
#include "tools/output_file.h"
#include "tools/progress.h"
#include "tools/stdio_stream.h"
#include "tools/system_path.h"

namespace tools {
namespace {

// The largest input of one run: RunCodec counts its source in a signed 32-bit size.
constexpr int64_t kMaxRunInput = std::numeric_limits<int32_t>::max();

[[noreturn]] void TooLarge(const std::string& what) {
  throw platform::Exception(what +
                            " is larger than 2147483647 bytes, the most one codec run takes");
}

// Standard input read to its end: the run must know its source size in advance.
std::unique_ptr<platform::TMemoryStream> ReadAllInput(std::FILE* in) {
  auto memory = std::make_unique<platform::TMemoryStream>();
  TStdioStream input(in);
  std::vector<uint8_t> block(1 << 16);
  for (;;) {
    int32_t n = input.Read(block.data(), static_cast<int32_t>(block.size()));
    if (n <= 0) break;
    if (memory->Bytes().size() + static_cast<size_t>(n) > static_cast<uint64_t>(kMaxRunInput))
      TooLarge("the input");
    memory->Bytes().insert(memory->Bytes().end(), block.begin(), block.begin() + n);
  }
  return memory;
}

}  // namespace

void CodecCommand(const Options& options, CommandContext& context) {
  // Raw bytes through standard input or output must pass unchanged (no CR LF on Windows).
  if (options.input.empty() || options.output.empty()) SetBinaryStdio();
  std::unique_ptr<platform::ByteStream> in;
  if (options.input.empty()) {
    in = ReadAllInput(context.dataIn);
  } else {
    in = std::make_unique<platform::TFileStream>(options.input, platform::TFileStream::fmOpenRead);
  }
  int64_t size = in->Size();
  if (size > kMaxRunInput) TooLarge(options.input);
  in->Seek(0, platform::SeekOrigin::soBeginning);

  std::unique_ptr<TStdioStream> stdoutStream;
  std::unique_ptr<TOutputFile> outputFile;
  platform::ByteStream* out = nullptr;
  if (options.output.empty()) {
    stdoutStream = std::make_unique<TStdioStream>(context.dataOut);
    out = stdoutStream.get();
  } else {
    // Creating the output would empty the input before it is read.
    std::error_code ec;
    if (!options.input.empty() && std::filesystem::equivalent(PathFromSystem(options.input),
                                                              PathFromSystem(options.output), ec))
      throw platform::Exception("input and output are the same file: " + options.output);
    outputFile = std::make_unique<TOutputFile>(options.output);
    out = &outputFile->Stream();
  }

  TProgressBar bar(context.err, context.progress);
  uint32_t checksum = 0;
  const codecs::TCProcessMode mode =
      options.command == Command::kExpand ? codecs::pmExpand : codecs::pmCompress;
  codecs::RunCodec(bar.Handler(), *out, *in, static_cast<int32_t>(size),
                   options.size < 0 ? 0 : options.size, options.method, checksum, mode);
  if (outputFile) outputFile->Commit();
}

}  // namespace tools
