// Sound devices without sound: output "plays" on a clock the test moves,
// input "records" samples the test supplies, and every step can be made to
// fail. Reports wait in a queue until Deliver or Advance hands them to the
// listener, as an event loop would.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace kelvora {

class HeadlessWaveDevices : public WaveDevices {
public:
  HeadlessWaveDevices();

  void Refresh() override { ++refreshes; }
  int OutputCount() override { return static_cast<int>(outputs.size()); }
  int InputCount() override { return static_cast<int>(inputs.size()); }
  bool OutputCaps(int device, WaveDeviceCaps* caps) override;
  bool InputCaps(int device, WaveDeviceCaps* caps) override;

  WaveResult OpenOutput(int device, const WaveStreamFormat& format,
                        WaveListener* listener) override;
  bool WriteOutput(int tag, const uint8_t* data, int bytes) override;
  void ResetOutput() override;
  void CloseOutput() override;

  WaveResult OpenInput(int device, const WaveStreamFormat& format, WaveListener* listener) override;
  bool PrepareInput(uint8_t* block, int bytes) override;
  bool AddInput() override;
  void StartInput() override;
  void StopInput() override;
  void CloseInput() override;
  int InputRecorded() override { return recorded_; }

  void PlaySoundFile(const std::string& path) override { soundFiles.push_back(path); }

  // Hands every waiting report to its listener; returns how many.
  int Deliver();
  // Moves the clock by `ms`: output plays (in order, at the stream's byte
  // rate) and input records from `inputSource`; then Deliver.
  void Advance(int64_t ms);

  std::vector<WaveDeviceCaps> outputs, inputs;

  // Failure injection.
  WaveResult openOutputResult = kWaveOk;
  WaveResult openInputResult = kWaveOk;
  int failWriteAt = -1;  // the write with this number (0 first) fails
  bool failPrepare = false;
  bool failAdd = false;

  // What a recording hears: repeated as long as the input runs.
  std::vector<uint8_t> inputSource{0};

  // What happened.
  struct Written {
    int tag;
    std::vector<uint8_t> bytes;
  };
  std::vector<Written> written;  // every chunk written, in order
  std::vector<int> doneTags;     // every OutputDone delivered, in order
  bool outputOpen = false, inputOpen = false, inputStarted = false;
  int outputDevice = -2, inputDevice = -2;
  WaveStreamFormat outputFormat, inputFormat;
  int resets = 0, refreshes = 0, outputCloses = 0, inputCloses = 0;
  int64_t nowMs = 0;
  std::vector<std::string> soundFiles;

  int Queued() const { return static_cast<int>(queue_.size()); }

private:
  struct Chunk {
    int tag;
    int bytes;
    int64_t played = 0;  // bytes of it played so far
  };
  struct Report {
    WaveListener* listener;
    bool input;
    int tag, bytes;
  };
  void FinishInput();

  std::deque<Chunk> queue_;
  std::deque<Report> reports_;
  WaveListener* outputListener_ = nullptr;
  WaveListener* inputListener_ = nullptr;
  int writes_ = 0;
  uint8_t* block_ = nullptr;
  int blockBytes_ = 0, recorded_ = 0;
  bool added_ = false;
  int64_t sourceAt_ = 0;
};

}  // namespace kelvora
