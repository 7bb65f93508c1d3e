// The compressing direction of the LZH codec (stream format in lzh.h).
//
// The input slides through a 4096-byte window. The 60 bytes from WindowPos on are the lookahead;
// FillPos, 4036 positions behind WindowPos, is where the next source byte goes. Every position
// is inserted into the match trees when coding reaches it and deleted just before its first byte
// is overwritten, so a string never changes while it is in a tree. Each item is one symbol of the
// adaptive model, a literal or a copy of 3..60 bytes followed by its offset.
#include <cstring>
#include <memory>
#include <new>

#include "codecs/lzh.h"
#include "codecs/lzh_bit_writer.h"
#include "codecs/lzh_matchfinder.h"
#include "codecs/lzh_model.h"
#include "platform/exceptions.h"

namespace codecs {

namespace {

// Everything of one compressing run; allocated once per run and zeroed, so the window bytes the
// run has not written are 0 and short inputs always give the same stream.
struct TLzhEncoder {
  uint8_t Window[LzhEncoderWindowSize];  // the ring 0..4095, mirror of 0..58 at 4096..4154
  TLzhModel Model;                       // adaptive code shared in kind with the decoder
  TLzhMatchFinder Finder;                // match trees over Window
  CodecState* State;                     // the frame run that supplies and takes the bytes
  uint16_t WindowPos;                    // next position to code; the lookahead starts here
  uint16_t FillPos;                      // where the next source byte goes (WindowPos - 4036)
  uint16_t LookLen;                      // source bytes from WindowPos on still to be coded
  TLzhBitWriter Bits;                    // packs the codes into the frame's output
  bool InputEnded;                       // the frame has reported the end of the input

  // Next source byte; false from the first end of the input on. Once the frame has reported the
  // end it is not asked again: after a stop by the progress handler it would go on handing out
  // the stopped block, bytes that would count in the checksum without being coded.
  bool TakeSourceByte(uint8_t& b) {
    if (InputEnded) return false;
    b = State->ReadSourceByte();
    if (State->EndOfInput) {
      InputEnded = true;
      return false;
    }
    return true;
  }

  // Writes the current code of s, then counts s: the code used is the one from before the
  // symbol's own update, as the decoder walks it.
  void EncodeSymbol(int s) {
    uint32_t code = 0;
    const int len = Model.EncodeWalk(s, code);
    Bits.WriteCode(len, code);
    Model.CountSymbol(s);
  }

  // Moves both ends of the window on by one position.
  void Advance() {
    FillPos = static_cast<uint16_t>((FillPos + 1) & (LzhWindowSize - 1));
    WindowPos = static_cast<uint16_t>((WindowPos + 1) & (LzhWindowSize - 1));
  }

  void Run();
};

void TLzhEncoder::Run() {
  Model.ResetModel();
  Bits.ResetBits();
  Finder.Window = Window;
  Finder.ResetMatchTrees();

  FillPos = 0;
  WindowPos = LzhWindowStart;
  std::memset(Window, 0x20, LzhWindowStart);

  // The first lookahead; only the window is filled.
  LookLen = 0;
  uint8_t b;
  while (LookLen < LzhMaxMatch && TakeSourceByte(b)) {
    Window[LzhWindowStart + LookLen] = b;
    ++LookLen;
  }
  if (LookLen == 0) return;  // empty input: an empty stream, not even a flushed byte

  // The 60 prefilled positions before the lookahead, nearest first, then the first position.
  for (int p = LzhWindowStart - 1; p >= LzhWindowStart - LzhMaxMatch; --p) Finder.InsertPosition(p);
  Finder.InsertPosition(WindowPos);

  do {
    // The finder may have matched window bytes past the last source byte: clamp.
    int n = Finder.BestLen;
    if (n > LookLen) n = LookLen;
    if (n < LzhMinMatch) {
      n = 1;
      EncodeSymbol(Window[WindowPos]);
    } else {
      EncodeSymbol(n + (256 - LzhMinMatch));
      Bits.EncodeOffset(Finder.BestOffset);
    }

    // One new byte for each byte coded; the oldest string leaves its tree before its first
    // byte is overwritten.
    int k = 0;
    while (k < n && TakeSourceByte(b)) {
      Finder.DeletePosition(FillPos);
      Window[FillPos] = b;
      if (FillPos < LzhMirrorLen) Window[FillPos + LzhWindowSize] = b;
      Advance();
      Finder.InsertPosition(WindowPos);
      ++k;
    }
    // Past the end of the input the lookahead shrinks by one per byte coded. The window bytes
    // stay as they are; the clamp above keeps every copy within the source bytes.
    while (k < n) {
      ++k;
      Finder.DeletePosition(FillPos);
      Advance();
      --LookLen;
      if (LookLen > 0) Finder.InsertPosition(WindowPos);
    }
  } while (LookLen != 0);

  Bits.FlushBits();
}

}  // namespace

void CompressLzh(CodecState& state) {
  // Value-initialised: window, trees and model start as zeros. Freed however the run ends.
  std::unique_ptr<TLzhEncoder> encoder(new (std::nothrow) TLzhEncoder());
  if (!encoder) throw platform::EOutOfMemory();
  encoder->State = &state;
  encoder->Bits.State = &state;
  encoder->InputEnded = false;
  encoder->Run();
}

}  // namespace codecs
