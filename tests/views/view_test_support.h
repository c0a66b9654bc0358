// A waveform view 1000 columns wide (client 1064 × 420, labels 14 high, so
// the plot bottom is 396) and an overview of 1032 × 40 (1000 columns).
#pragma once

#include <gtest/gtest.h>

#include "test_support.h"
#include "views/view_state.h"

namespace kelvora {

struct ViewFixture : EngineFixture {
  ViewFixture() {
    ViewState& v = View();
    v.clientWidth = 1064;
    v.clientHeight = 420;
    v.textHeight = 14;
    v.overviewWidth = 1032;
    v.overviewHeight = 40;
  }
  // A silent sound of `frames` frames.
  static void Silence(uint32_t rate, int bits, int channels, int64_t frames) {
    const SoundFormat f = MakeFormat(rate, bits, channels);
    SetDocument(f, std::vector<uint8_t>(static_cast<size_t>(frames * f.nBlockAlign)));
  }
  // Format and length only (no data), for sounds too long to allocate.
  static void Pretend(uint32_t rate, int bits, int channels, int32_t length) {
    SetDocumentFormat(MakeFormat(rate, bits, channels));
    Doc().length = length;
  }
};

struct ViewTest : ViewFixture, ::testing::Test {};

}  // namespace kelvora
