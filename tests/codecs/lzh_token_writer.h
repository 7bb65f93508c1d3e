// A plain writer of LZH streams from a given list of tokens, for the decoder tests: it writes
// literals and matches exactly as told (it finds no matches itself) and computes the output the
// tokens stand for from the whole output history, not from a ring window.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "codecs/lzh.h"
#include "codecs/lzh_model.h"
#include "codecs/lzh_tables.h"

namespace codectest {

class LzhTokenWriter {
 public:
  LzhTokenWriter() : model_(new codecs::TLzhModel) { model_->ResetModel(); }

  void Literal(uint8_t b) {
    Symbol(b);
    expected_.push_back(b);
  }
  // A copy of length 3..60 from offset 0..4095 (distance back minus one).
  void Match(int length, int offset) {
    Symbol(length + 253);
    const int u = offset >> 6;
    PutBits(codecs::HighPartCode[u] >> (8 - codecs::HighPartLen[u]), codecs::HighPartLen[u]);
    PutBits(static_cast<uint32_t>(offset & 63), 6);
    for (int k = 0; k < length; ++k) {
      // Before the first output byte the window holds spaces (the decoder fills all of it).
      const int64_t from = static_cast<int64_t>(expected_.size()) - offset - 1;
      expected_.push_back(from >= 0 ? expected_[static_cast<size_t>(from)] : 0x20);
    }
  }
  // The stream, its last byte filled up with 0 bits.
  std::vector<uint8_t> Stream() const {
    std::vector<uint8_t> s = bytes_;
    if (pending_ > 0) s.push_back(static_cast<uint8_t>(acc_ << (8 - pending_)));
    return s;
  }
  const std::vector<uint8_t>& Expected() const { return expected_; }

 private:
  void Symbol(int s) {
    uint32_t code = 0;
    const int length = model_->EncodeWalk(s, code);
    for (int i = 0; i < length; ++i) PutBits(code >> (31 - i) & 1, 1);
    model_->CountSymbol(s);
  }
  void PutBits(uint32_t value, int count) {
    for (int i = count - 1; i >= 0; --i) {
      acc_ = (acc_ << 1) | (value >> i & 1);
      if (++pending_ == 8) {
        bytes_.push_back(static_cast<uint8_t>(acc_));
        acc_ = 0;
        pending_ = 0;
      }
    }
  }

  std::unique_ptr<codecs::TLzhModel> model_;
  std::vector<uint8_t> bytes_;
  std::vector<uint8_t> expected_;
  uint32_t acc_ = 0;
  int pending_ = 0;
};

}  // namespace codectest
