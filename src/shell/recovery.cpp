#include "shell/recovery.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "audio/audio.h"
#include "document/busy.h"
#include "document/sound_document.h"
#include "files/recovery_writer.h"
#include "files/wav.h"
#include "platform/platform.h"
#include "shell/recovery_internal.h"
#include "shell/texts.h"

namespace kelvora {
namespace {

// A copy is due this long after the last change, and no later than the
// longest wait after the first change it does not hold, however often the
// sound changes meanwhile.
constexpr int kDefaultIdleSeconds = 5;
constexpr int64_t kLongestWaitMs = 60000;
// The window's share of a copy: one turn of the event loop copies one
// slice, small enough (a fraction of a millisecond) that a busy machine
// rarely takes the processor away in the middle of it; no more than a few
// wait for the worker (the memory a copy holds besides the sound).
constexpr size_t kSliceBytes = size_t{1} << 20;
constexpr int kSlicesWaiting = 8;
// How soon to be called again: while a copy is fed, while a recording
// comes in (well within the second a crash may lose), otherwise.
constexpr int kFeedTickMs = 1;
constexpr int kRecordingTickMs = 200;
constexpr int kIdleTickMs = 250;
// Where the notes go: the wide last part of the status bar.
constexpr int kNotePart = 3;

struct Recovery {
  RecoveryPlace place;
  int64_t idleMs = kDefaultIdleSeconds * 1000;
  // The sound as last seen.
  uint64_t seenRevision = 0;
  int64_t lastChangeMs = 0;
  int64_t firstUncopiedMs = -1;  // -1: every change is in a copy
  // What the folder holds (as far as the tasks posted make it).
  bool folderUsed = false;
  bool copyOnDisk = false;
  uint64_t copyRevision = 0;
  RecoveryInfo onDisk;  // what document.txt says
  bool copyDueNow = false;
  // Not again before this time for the same revision (no room, a failure).
  uint64_t heldRevision = 0;
  int64_t heldUntilMs = 0;
  int64_t lastInfoMs = 0;
  // The copy being made, the revision it is of, and how document.txt will
  // describe it once it is in place.
  std::shared_ptr<RecoveryCopy> copy;
  uint64_t copyOf = 0;
  RecoveryInfo copyInfo;
  std::shared_ptr<RecordingStream> stream;
  bool streamRefused = false;
  // The slices a copy goes through, made at its first turn.
  std::shared_ptr<RecoverySlice> slices[kSlicesWaiting];
  // Said once until a copy is made again.
  bool roomNoted = false, failureNoted = false;
};

Recovery& State() {
  static Recovery state;
  return state;
}

int64_t Now() { return Services().clock->NowMs(); }

void Note(bool* said, const char* text) {
  if (*said) return;
  *said = true;
  Services().ui->SetStatusText(kNotePart, text);
}

// Room for the copy and as much again, so that the copy never takes the last of the disk.
bool RoomFor(uint64_t bytes) {
  const int64_t free = Services().system->FreeBytes(State().place.folder);
  return free < 0 || static_cast<uint64_t>(free) / 2 >= bytes;
}

RecoveryInfo DescribeDocument() {
  const SoundDocument& doc = Doc();
  RecoveryInfo info;
  info.sound = State().onDisk.sound == kCopyNames[0] ? kCopyNames[1] : kCopyNames[0];
  info.path = doc.path;
  info.fileKind = doc.fileKind;
  info.format = doc.format;
  info.bytes = doc.length;
  info.selStart = doc.selStart;
  info.selEnd = doc.selEnd;
  info.anchor = doc.anchor;
  info.movingEnd = doc.movingEnd;
  info.savedAt = Services().system->WallSeconds();
  return info;
}

bool SameDescription(const RecoveryInfo& a, const RecoveryInfo& b) {
  return a.path == b.path && a.fileKind == b.fileKind && a.selStart == b.selStart &&
         a.selEnd == b.selEnd && a.anchor == b.anchor && a.movingEnd == b.movingEnd;
}

void Hold(Recovery& s, int64_t now) {
  s.heldRevision = s.seenRevision;
  s.heldUntilMs = now + kLongestWaitMs;
}

// A slice of at least `bytes` that the worker is done with; null when all
// are in use, or no memory is left for one.
std::shared_ptr<RecoverySlice> FreeSlice(Recovery& s, size_t bytes) {
  for (std::shared_ptr<RecoverySlice>& slice : s.slices) {
    if (slice && slice->inUse.load(std::memory_order_acquire)) continue;
    if (!slice || slice->capacity < bytes) {
      slice = std::make_shared<RecoverySlice>();
      slice->bytes.reset(new (std::nothrow) uint8_t[bytes]);
      slice->capacity = bytes;
      if (!slice->bytes) slice.reset();
    }
    return slice;
  }
  return nullptr;
}

void FreeSlices(Recovery& s) {
  for (std::shared_ptr<RecoverySlice>& slice : s.slices) slice.reset();
}

// The sound is saved, new or another one: nothing to keep.
void DropCopies(Recovery& s) {
  if (s.copy && !s.copy->finishing()) s.copy->Abandon();
  s.copy.reset();
  if (s.folderUsed) PostRemoveFolder(s.place.folder);
  s.folderUsed = s.copyOnDisk = s.copyDueNow = false;
  s.onDisk = RecoveryInfo{};
  FreeSlices(s);
  s.firstUncopiedMs = -1;
}

// A copy handed over whole has been put in place, or has failed.
void CollectFinishedCopy(Recovery& s, int64_t now) {
  if (!s.copy) return;
  const RecoveryCopy::State state = s.copy->state();
  if (state == RecoveryCopy::State::kWriting) return;
  if (state == RecoveryCopy::State::kFailed) {
    if (!s.copy->finishing()) s.copy->Abandon();
    Note(&s.failureNoted, texts::kRecoveryWriteFailed);
    Hold(s, now);
  } else if (s.copy->finishing()) {
    s.copyOnDisk = true;
    s.copyRevision = s.copyOf;
    s.onDisk = s.copyInfo;
    s.copyDueNow = false;
    s.roomNoted = s.failureNoted = false;
    if (s.seenRevision == s.copyOf) s.firstUncopiedMs = -1;
  } else {
    return;
  }
  s.copy.reset();
  FreeSlices(s);
}

void StartCopy(Recovery& s, int64_t now) {
  const SoundDocument& doc = Doc();
  const uint32_t bytes = static_cast<uint32_t>(std::max(doc.length, 0));
  if (!RoomFor(kWavHeaderBytes + uint64_t{bytes})) {
    Note(&s.roomNoted, texts::kRecoveryNoSpace);
    Hold(s, now);
    return;
  }
  const RecoveryInfo next = DescribeDocument();
  s.copy = RecoveryCopy::Start(s.place.folder, next.sound, doc.format, bytes);
  s.copyOf = s.seenRevision;
  s.folderUsed = true;
}

// Hands the worker the next slice of the sound, or the copy's end.
void FeedCopy(Recovery& s) {
  RecoveryCopy& copy = *s.copy;
  if (copy.handedOver < copy.bytes()) {
    const size_t n = std::min<size_t>(kSliceBytes, copy.bytes() - copy.handedOver);
    std::shared_ptr<RecoverySlice> slice = FreeSlice(s, n);
    if (!slice) return;  // the worker is behind: again next turn
    std::memcpy(slice->bytes.get(), Doc().bytes() + copy.handedOver, n);
    slice->inUse.store(true, std::memory_order_relaxed);
    copy.Add(std::move(slice), n);
    return;
  }
  s.copyInfo = DescribeDocument();
  s.copyInfo.sound = copy.name();
  copy.Finish(s.copyInfo);
}

// What the device has recorded so far goes to the folder as it comes in.
void FeedRecording(Recovery& s) {
  RecordingState& r = Recording();
  const SoundFormat& format = RecordingFormat();
  if (!s.stream) {
    if (s.streamRefused) return;
    if (s.copy && !s.copy->finishing()) s.copy->Abandon();
    s.copy.reset();
    if (!RoomFor(kWavHeaderBytes + uint64_t{r.block.size()})) {
      s.streamRefused = true;
      Note(&s.roomNoted, texts::kRecoveryNoSpace);
      return;
    }
    RecoveryInfo info;
    info.sound = kRecordingName;
    info.path = kUntitledPath;  // a recording has no file yet
    info.fileKind = Doc().fileKind;
    info.format = format;
    info.bytes = -1;
    info.savedAt = Services().system->WallSeconds();
    s.stream = RecordingStream::Start(s.place.folder, info);
    s.onDisk = info;
    s.folderUsed = s.copyOnDisk = true;
    s.copyRevision = 0;
  }
  const int64_t block = static_cast<int64_t>(r.block.size()) - static_cast<int64_t>(kSpareBytes);
  int64_t recorded = std::min<int64_t>(Services().waveDevices->InputRecorded(), block);
  if (format.nBlockAlign > 0) recorded -= recorded % format.nBlockAlign;
  if (recorded <= s.stream->handedOver) return;
  const size_t n = static_cast<size_t>(recorded - s.stream->handedOver);
  auto piece = std::make_shared<MemoryBlock>();
  if (!piece->Resize(n)) return;
  std::memcpy(piece->data(), r.block.data() + s.stream->handedOver, n);
  s.stream->Add(std::move(piece), n);
}

// The recording has ended and is the sound now: copy it at once, and the
// file that holds it so far goes when the copy is in place.
void EndStream(Recovery& s) {
  if (s.stream) {
    if (s.stream->failed()) Note(&s.failureNoted, texts::kRecoveryWriteFailed);
    s.stream->Close();
    s.copyDueNow = true;
  }
  s.stream.reset();
  s.streamRefused = false;
}

bool CopyDue(const Recovery& s, int64_t now) {
  if (s.seenRevision == s.heldRevision && now < s.heldUntilMs) return false;
  return s.copyDueNow || now - s.lastChangeMs >= s.idleMs ||
         (s.firstUncopiedMs >= 0 && now - s.firstUncopiedMs >= std::max(kLongestWaitMs, s.idleMs));
}

}  // namespace

const RecoveryPlace& RecoveryPlaceOf() { return State().place; }

bool RecoveryEnabled() { return State().place.enabled; }

void StartRecovery() {
  Recovery& s = State();
  s = Recovery{};
  Profile* profile = Services().profile;
  System* system = Services().system;
  s.place.root = RecoveryRoot(system->StateFolder());
  const int64_t pid = system->ProcessId();
  if (!s.place.root.empty())
    s.place.folder = s.place.root + "/" + ProcessFolderName(pid, system->ProcessStart(pid));
  s.place.enabled = !s.place.root.empty() && profile->GetInt("Options", "recovery", 1) != 0;
  const int idle = profile->GetInt("Options", "recoveryidle", kDefaultIdleSeconds);
  s.idleMs = int64_t{std::clamp(idle, 1, 3600)} * 1000;
  s.seenRevision = DocumentRevision();
  s.lastChangeMs = Now();
}

void AdoptRecoveredCopy(const RecoveryInfo& info) {
  Recovery& s = State();
  s.seenRevision = DocumentRevision();
  s.lastChangeMs = Now();
  s.folderUsed = s.copyOnDisk = true;
  s.copyRevision = s.seenRevision;
  s.onDisk = info;
}

int RecoveryTick(bool insideDialog) {
  Recovery& s = State();
  if (!s.place.enabled) return kIdleTickMs;
  const int64_t now = Now();
  if (DocumentRevision() != s.seenRevision) {
    s.seenRevision = DocumentRevision();
    s.lastChangeMs = now;
    if (s.firstUncopiedMs < 0) s.firstUncopiedMs = now;
  }
  CollectFinishedCopy(s, now);
  if (Recording().recording) {
    FeedRecording(s);
    return kRecordingTickMs;
  }
  if (s.stream || s.streamRefused) EndStream(s);
  if (!Doc().modified) {
    if (s.folderUsed || s.copy) DropCopies(s);
    s.firstUncopiedMs = -1;  // nothing waits for a copy
    return kIdleTickMs;
  }
  // An operation may be half way through the sound.
  if (Busy().busy || insideDialog) return kIdleTickMs;
  if (s.copy) {
    if (s.copy->finishing()) return kFeedTickMs;
    if (s.copyOf == s.seenRevision) {
      FeedCopy(s);
      return kFeedTickMs;
    }
    s.copy->Abandon();  // stale: made again once the sound rests
    s.copy.reset();
  }
  if (s.copyOnDisk && s.copyRevision == s.seenRevision) {
    // Only the description may have changed (selection, a new path).
    const RecoveryInfo now_described = [&] {
      RecoveryInfo info = DescribeDocument();
      info.sound = s.onDisk.sound;
      info.bytes = s.onDisk.bytes;
      info.format = s.onDisk.format;
      return info;
    }();
    if (!SameDescription(now_described, s.onDisk) && now - s.lastInfoMs >= s.idleMs) {
      s.lastInfoMs = now;
      s.onDisk = now_described;
      const std::string folder = s.place.folder;
      Services().background->Post(
          [folder, now_described] { CommitRecoveryInfo(folder, now_described); });
    }
    return kIdleTickMs;
  }
  if (!CopyDue(s, now)) return kIdleTickMs;
  StartCopy(s, now);
  return s.copy ? kFeedTickMs : kIdleTickMs;
}

void EndRecovery() {
  Recovery& s = State();
  if (s.copy && !s.copy->finishing()) s.copy->Abandon();
  s.copy.reset();
  if (s.stream) s.stream->Close();
  s.stream.reset();
  if (s.folderUsed) PostRemoveFolder(s.place.folder);
  s.folderUsed = false;
  if (Services().background != nullptr) Services().background->Drain();
}

void ResetRecoveryState() { State() = Recovery{}; }

}  // namespace kelvora
