// The codec frame's slow paths and RunCodec.
#include "codecs/frame.h"

#include <memory>
#include <new>

#include "codecs/lzh.h"
#include "codecs/rle.h"
#include "platform/exceptions.h"
#include "platform/process.h"

namespace codecs {

bool CodecState::Refill() {
  EndOfInput = true;
  if (SourceLeft <= 0) return false;
  const int32_t asked = SourceLeft < CodecBufferSize ? SourceLeft : CodecBufferSize;
  int32_t n = Source->Read(InBuffer, asked);
  // A stream that claims more than it was asked for (or a negative count) must not move the
  // read end outside the buffer.
  if (n < 0) n = 0;
  if (n > asked) n = asked;
  SourceLeft -= n;
  if (n == 0) return false;
  ReadPos = InBuffer;
  ReadEnd = InBuffer + n;
  if (ProgressHandler != nullptr) {
    BytesRead += n;
    // BytesRead + SourceLeft is the run's SourceSize; 64 bits keep BytesRead * 100 exact.
    int32_t percentage = static_cast<int32_t>(static_cast<int64_t>(BytesRead) * 100 /
                                              (static_cast<int64_t>(BytesRead) + SourceLeft));
    (*ProgressHandler)(percentage);
    if (percentage < 0) return false;  // stopped: the block stays, EndOfInput stays true
  }
  platform::YieldTimeSlice();
  EndOfInput = false;
  return true;
}

void CodecState::FlushFullBlock() {
  platform::YieldTimeSlice();
  Dest->WriteBuffer(OutBuffer, CodecBufferSize);
  WritePos = OutBuffer;
}

namespace {

std::unique_ptr<uint8_t[]> AllocateBuffer() {
  std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[CodecBufferSize]);
  if (!buffer) throw platform::EOutOfMemory();
  return buffer;
}

// One run of the frame around body(state); Checksum gets the output sum when expanding, the
// input sum when compressing, then the last partial block is written.
template <class Body>
void RunFrame(const TShowProgressEvent& progress, ByteStream& Dest, ByteStream& Source,
              int32_t SourceSize, bool expanding, uint32_t& Checksum, Body&& body) {
  // A copy, so that a handler that reassigns the owner's event during the run (even to itself)
  // does not pull the function out from under the running call.
  const TShowProgressEvent handler = progress;
  CodecState state;
  state.ProgressHandler = handler ? &handler : nullptr;
  state.Source = &Source;
  state.Dest = &Dest;

  // Both buffers are freed by their owners however the run ends.
  std::unique_ptr<uint8_t[]> in = AllocateBuffer();
  std::unique_ptr<uint8_t[]> out = AllocateBuffer();
  state.InBuffer = in.get();
  state.ReadPos = state.ReadEnd = in.get();
  state.OutBuffer = state.WritePos = out.get();

  state.EndOfInput = false;
  state.AtStart = true;
  state.InRun = false;
  state.LastByte = 0;
  state.RunCount = 0;
  state.SourceLeft = SourceSize;
  state.InputSum = state.OutputSum = 0;
  state.BytesRead = 0;

  body(state);
  Checksum = expanding ? state.OutputSum : state.InputSum;
  if (state.WritePos != state.OutBuffer)
    Dest.WriteBuffer(state.OutBuffer, static_cast<int32_t>(state.WritePos - state.OutBuffer));
}

}  // namespace

void RunCodec(const TShowProgressEvent& progress, ByteStream& Dest, ByteStream& Source,
              int32_t SourceSize, int32_t DestSize, uint8_t Method, uint32_t& Checksum,
              TCProcessMode Mode) {
  const bool expanding = Mode != pmCompress;
  // Any other method reads and writes nothing, so both sums, and Checksum, stay 0.
  RunFrame(progress, Dest, Source, SourceSize, expanding, Checksum, [&](CodecState& state) {
    if (Method == mtRLE) {
      if (expanding)
        ExpandRle(state);
      else
        CompressRle(state);
    } else if (Method == mtLZH) {
      if (expanding)
        ExpandLzh(state, DestSize);
      else
        CompressLzh(state);
    }
  });
}

void RunCompressor(const TShowProgressEvent& progress, ByteStream& Dest, ByteStream& Source,
                   int32_t SourceSize, TCompressBody Compress, uint32_t& Checksum) {
  RunFrame(progress, Dest, Source, SourceSize, false, Checksum,
           [&](CodecState& state) { Compress(state); });
}

}  // namespace codecs
