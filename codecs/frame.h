// The codec frame: one codec run over one piece of data.
//
// RunCodec reads SourceSize bytes from a source stream in 8192-byte blocks, lets the chosen codec
// (RLE, method 1; LZH, method 2) turn them into output, writes the output in 8192-byte blocks and
// returns the 32-bit sum of the uncompressed bytes (the output when expanding, the input when
// compressing). The codecs see the data only through CodecState::ReadSourceByte, EndOfInput and
// CodecState::WriteDestByte. Progress goes to the handler after every block read; a handler that
// sets a negative percentage stops the input. The state of a run is one CodecState object.
//
// The per-byte operations are inline and touch the streams only once per block: a refill reads
// one block (never more than the run's SourceSize in total), a full output block is written when
// the next byte arrives, and RunCodec writes the last 1..8192 bytes when the codec returns. The
// processor is yielded once per block read and once per full block written.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/stream.h"

namespace codecs {

using platform::ByteStream;

// Direction of a codec run. Every value other than pmCompress counts as expanding.
enum TCProcessMode : uint8_t { pmCompress = 0, pmExpand = 1 };

// Method codes of the archive format.
enum : uint8_t { mtNone = 0, mtRLE = 1, mtLZH = 2, mtCustom = 3 };

// Progress handler: receives the whole percentage of the source read so far; a negative value
// left in it stops the input.
using TShowProgressEvent = std::function<void(int32_t& PercentageDone)>;

// Size of the input buffer, of the output buffer and the largest single read request. One block
// per stream call keeps the calls (and the yields) rare without holding much memory.
constexpr int32_t CodecBufferSize = 8192;

// State of one codec run: the two buffers, their positions, the sums and the RLE state. The LZH
// codecs keep their own tables, allocated per run. RunCodec sets every field up afresh.
struct CodecState {
  const TShowProgressEvent* ProgressHandler = nullptr;  // the owner's handler, or none
  ByteStream* Source = nullptr;                         // stream read by ReadSourceByte
  ByteStream* Dest = nullptr;                           // stream written by WriteDestByte
  uint8_t* InBuffer = nullptr;                          // the block read last
  const uint8_t* ReadPos = nullptr;                     // next byte to deliver
  const uint8_t* ReadEnd = nullptr;                     // end of the valid bytes in InBuffer
  bool EndOfInput = false;       // a refill found no more input or was stopped
  int32_t SourceLeft = 0;        // source bytes not yet requested
  int32_t BytesRead = 0;         // source bytes received (counted while a handler is set)
  uint32_t InputSum = 0;         // sum of all bytes delivered by ReadSourceByte
  uint8_t* OutBuffer = nullptr;  // bytes not yet written to Dest
  uint8_t* WritePos = nullptr;   // next free byte of OutBuffer
  uint32_t OutputSum = 0;        // sum of all bytes passed to WriteDestByte
  // RLE state
  bool AtStart = true;   // encoder: no byte taken yet
  bool InRun = false;    // encoder: a run is being counted
  uint8_t LastByte = 0;  // encoder: byte of the pending run; decoder: first byte of last token
  int32_t RunCount = 0;  // encoder: length of the pending run

  // Next source byte; 0 with EndOfInput set when none is available. After a stopped refill the
  // rest of that block is still delivered, with EndOfInput left true.
  inline uint8_t ReadSourceByte() {
    if (ReadPos == ReadEnd && !Refill()) return 0;
    uint8_t b = *ReadPos++;
    InputSum += b;
    return b;
  }

  // Appends one byte to the output.
  inline void WriteDestByte(uint8_t b) {
    if (WritePos == OutBuffer + CodecBufferSize) FlushFullBlock();
    *WritePos++ = b;
    OutputSum += b;
  }

  // Slow paths, once per block.
  bool Refill();          // sets EndOfInput; true when bytes are available again
  void FlushFullBlock();  // yields, writes the 8192 pending bytes
};

// Runs one codec. Method 1 = RLE, 2 = LZH; any other method reads and writes nothing and gives
// Checksum 0. DestSize is the number of bytes the LZH decoder must produce. progress is the
// owner's OnShowProgress handler (it may be empty). Exceptions of the streams, of the handler and
// EOutOfMemory pass through; output still buffered at that moment is not written.
void RunCodec(const TShowProgressEvent& progress, ByteStream& Dest, ByteStream& Source,
              int32_t SourceSize, int32_t DestSize, uint8_t Method, uint32_t& Checksum,
              TCProcessMode Mode);

// A compressing codec body that codes the whole input of a run through the state's per-byte
// operations (CompressRle, CompressLzh, CompressLzhBest).
using TCompressBody = void (*)(CodecState& state);

// A compressing run of the frame with the body given instead of the method's own encoder: the
// same block I/O, progress and stop, and Checksum the sum of the input bytes.
void RunCompressor(const TShowProgressEvent& progress, ByteStream& Dest, ByteStream& Source,
                   int32_t SourceSize, TCompressBody Compress, uint32_t& Checksum);

}  // namespace codecs
