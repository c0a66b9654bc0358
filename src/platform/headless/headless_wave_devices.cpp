#include "platform/headless/headless_wave_devices.h"

#include <algorithm>

namespace kelvora {
namespace {

WaveDeviceCaps Device(const char* name, uint16_t channels, uint32_t support) {
  WaveDeviceCaps caps;
  caps.name = name;
  caps.channels = channels;
  caps.formats = 0x0FFF;
  caps.support = support;
  return caps;
}

// Bytes a stream moves in its first `ms` milliseconds, whole frames only.
int64_t BytesIn(const WaveStreamFormat& f, int64_t ms) {
  return ms * f.samplesPerSec / 1000 * (f.bitsPerSample / 8 * f.channels);
}

}  // namespace

HeadlessWaveDevices::HeadlessWaveDevices()
    : outputs{Device("Headless Output", 2, kWaveCapsVolume)},
      inputs{Device("Headless Input", 2, 0)} {}

bool HeadlessWaveDevices::OutputCaps(int device, WaveDeviceCaps* caps) {
  if (device < -1 || device >= OutputCount() || outputs.empty()) return false;
  *caps = outputs[device < 0 ? 0 : device];
  return true;
}

bool HeadlessWaveDevices::InputCaps(int device, WaveDeviceCaps* caps) {
  if (device < -1 || device >= InputCount() || inputs.empty()) return false;
  *caps = inputs[device < 0 ? 0 : device];
  return true;
}

WaveResult HeadlessWaveDevices::OpenOutput(int device, const WaveStreamFormat& format,
                                           WaveListener* listener) {
  if (openOutputResult != kWaveOk) return openOutputResult;
  if (device < -1 || device >= OutputCount() || outputs.empty()) return kWaveBadDeviceId;
  outputOpen = true;
  outputDevice = device;
  outputFormat = format;
  outputListener_ = listener;
  writes_ = 0;
  return kWaveOk;
}

bool HeadlessWaveDevices::WriteOutput(int tag, const uint8_t* data, int bytes) {
  if (!outputOpen || writes_++ == failWriteAt) return false;
  written.push_back({tag, std::vector<uint8_t>(data, data + bytes)});
  queue_.push_back({tag, bytes});
  return true;
}

void HeadlessWaveDevices::ResetOutput() {
  ++resets;
  for (const Chunk& c : queue_) reports_.push_back({outputListener_, false, c.tag, c.bytes});
  queue_.clear();
}

void HeadlessWaveDevices::CloseOutput() {
  ++outputCloses;
  outputOpen = false;
  queue_.clear();
}

WaveResult HeadlessWaveDevices::OpenInput(int device, const WaveStreamFormat& format,
                                          WaveListener* listener) {
  if (openInputResult != kWaveOk) return openInputResult;
  if (device < -1 || device >= InputCount() || inputs.empty()) return kWaveBadDeviceId;
  inputOpen = true;
  inputDevice = device;
  inputFormat = format;
  inputListener_ = listener;
  block_ = nullptr;
  recorded_ = 0;
  added_ = false;
  sourceAt_ = 0;
  return kWaveOk;
}

bool HeadlessWaveDevices::PrepareInput(uint8_t* block, int bytes) {
  if (!inputOpen || failPrepare) return false;
  block_ = block;
  blockBytes_ = bytes;
  return true;
}

bool HeadlessWaveDevices::AddInput() {
  if (block_ == nullptr || failAdd) return false;
  added_ = true;
  return true;
}

void HeadlessWaveDevices::StartInput() { inputStarted = true; }

void HeadlessWaveDevices::StopInput() {
  inputStarted = false;
  if (added_) FinishInput();
}

void HeadlessWaveDevices::FinishInput() {
  added_ = false;
  inputStarted = false;
  reports_.push_back({inputListener_, true, 0, recorded_});
}

void HeadlessWaveDevices::CloseInput() {
  ++inputCloses;
  inputOpen = false;
  block_ = nullptr;
}

int HeadlessWaveDevices::Deliver() {
  int n = 0;
  while (!reports_.empty()) {
    Report r = reports_.front();
    reports_.pop_front();
    if (r.input) {
      r.listener->InputDone(r.bytes);
    } else {
      doneTags.push_back(r.tag);
      r.listener->OutputDone(r.tag, r.bytes);
    }
    ++n;
  }
  return n;
}

void HeadlessWaveDevices::Advance(int64_t ms) {
  if (outputOpen) {
    int64_t budget = BytesIn(outputFormat, nowMs + ms) - BytesIn(outputFormat, nowMs);
    while (budget > 0 && !queue_.empty()) {
      Chunk& c = queue_.front();
      const int64_t take = std::min<int64_t>(budget, c.bytes - c.played);
      c.played += take;
      budget -= take;
      if (c.played == c.bytes) {
        reports_.push_back({outputListener_, false, c.tag, c.bytes});
        queue_.pop_front();
      }
    }
  }
  if (inputStarted && added_ && !inputSource.empty()) {
    int64_t budget = BytesIn(inputFormat, sourceAt_ + ms) - BytesIn(inputFormat, sourceAt_);
    for (; budget > 0 && recorded_ < blockBytes_; --budget, ++recorded_)
      block_[recorded_] = inputSource[recorded_ % inputSource.size()];
    if (recorded_ == blockBytes_) FinishInput();
  }
  sourceAt_ += ms;
  nowMs += ms;
  Deliver();
}

}  // namespace kelvora
