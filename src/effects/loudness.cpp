// The loudness readout and loudness normalising.
#include "effects/loudness.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "document/held_samples.h"
#include "document/operation.h"
#include "document/params.h"
#include "effects/effect_runner.h"
#include "effects/texts.h"
#include "platform/param_dialog.h"
#include "platform/platform.h"
#include "resources/dialogs.h"

namespace kelvora {

LoudnessGain PlanLoudnessGain(const LoudnessNormalizeParams& p, const LoudnessFigures& f) {
  LoudnessGain g;
  if (!f.integrated) return g;
  const double target = std::clamp(p.target, -700, -50) / 10.0;
  const double ceiling = std::clamp(p.ceiling, -90, 0) / 10.0;
  g.gainDb = target - *f.integrated;
  if (f.truePeak && *f.truePeak + g.gainDb > ceiling) {
    g.gainDb = ceiling - *f.truePeak;
    g.limited = true;
  }
  g.resultLufs = *f.integrated + g.gainDb;
  return g;
}

void LoudnessGainPass(double gainDb, const SoundView& v) {
  const double gain = std::pow(10.0, gainDb / 20);
  v.WithFormat([&](auto fmt) {
    MapSamples(fmt, v.out, v.frames, ChannelSet{true, 0}, 0, v.Plan(0, v.Align(), v.Length()),
               [gain](int, int32_t x) {
                 return static_cast<int32_t>(
                     std::clamp(std::trunc(x * gain), -2147483648.0, 2147483647.0));
               });
  });
}

namespace {

// "-23.4", independent of the locale; "+" before a positive gain.
std::string OneDecimal(double v, bool sign = false) {
  const double rounded = std::round(v * 10) / 10;
  char buf[32];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, rounded == 0 ? 0.0 : rounded,
                                 std::chars_format::fixed, 1);
  if (ec != std::errc()) return "?";
  std::string s(buf, end);
  return sign && rounded > 0 ? "+" + s : s;
}

std::string Figure(const std::optional<double>& v, const char* unit) {
  return v ? OneDecimal(*v) + " " + unit : texts::kLoudnessNotMeasured;
}

// The selection, or the whole sound, as the meter reads it.
SoundView SelectionView(const char* progress) {
  const SoundDocument& doc = Doc();
  SoundView v;
  v.format = doc.format;
  v.bytesPerChannel = doc.bytesPerChannelSample;
  v.source = doc.data.data();
  v.sourceLength = doc.length;
  const int32_t align = std::max<int32_t>(doc.format.nBlockAlign, 1);
  v.first = doc.HasSelection() ? doc.selStart / align : 0;
  v.frames = doc.HasSelection() ? SelectionFrames() : doc.length / align;
  v.progress = progress;
  return v;
}

class LoudnessInfoDialog : public DialogHandler {
public:
  explicit LoudnessInfoDialog(const LoudnessFigures& f) : f_(f) {}
  void Opened(DialogWindow& dlg) override {
    const SoundDocument& doc = Doc();
    const SoundView v = SelectionView(nullptr);
    const double seconds = v.Rate() == 0 ? 0 : static_cast<double>(v.frames) / v.Rate();
    dlg.SetItemText(
        300, std::string(doc.HasSelection() ? texts::kLoudnessSelection : texts::kLoudnessWhole) +
                 " (" + OneDecimal(seconds) + " " + texts::kLoudnessSeconds + ")");
    dlg.SetItemText(301, Figure(f_.integrated, "LUFS"));
    dlg.SetItemText(302, Figure(f_.range, "LU"));
    dlg.SetItemText(303, Figure(f_.samplePeak, "dBFS"));
    dlg.SetItemText(304, Figure(f_.truePeak, "dBTP"));
    dlg.SetItemText(305, Figure(f_.momentaryMax, "LUFS"));
    dlg.SetItemText(306, Figure(f_.shortTermMax, "LUFS"));
  }
  void Clicked(DialogWindow& dlg, int id) override {
    if (id == 1 || id == 2) dlg.EndDialog(1);
  }
  int Accept(const std::vector<DialogField>&) override { return 1; }

private:
  const LoudnessFigures& f_;
};

// The figures the normalize dialog's lines read while it is open (its hook
// is a plain function).
const LoudnessFigures* g_measured = nullptr;

void ShowGainLines(DialogWindow& dlg, ParamEntry*) {
  if (g_measured == nullptr) return;
  const LoudnessFigures& f = *g_measured;
  dlg.SetItemText(300, Figure(f.integrated, "LUFS") + " / " + texts::kLoudnessTruePeak + " " +
                           Figure(f.truePeak, "dBTP"));
  const LoudnessGain g = PlanLoudnessGain(Params<LoudnessNormalizeParams>(), f);
  std::string line = std::string(texts::kLoudnessGain) + " " + OneDecimal(g.gainDb, true) + " dB " +
                     texts::kLoudnessResultIs + " " + OneDecimal(g.resultLufs) + " LUFS " +
                     texts::kLoudnessResultEnd;
  if (g.limited) line += std::string("\n") + texts::kLoudnessLimited;
  dlg.SetItemText(301, line);
}

ParamBindings LoudnessNormalizeControls() {
  LoudnessNormalizeParams& p = Params<LoudnessNormalizeParams>();
  return {{.id = 200, .value = &p.target, .min = -700, .max = -50},
          {.id = 202, .value = &p.ceiling, .min = -90, .max = 0},
          {.hook = ShowGainLines}};
}

}  // namespace

int MeasureSelectionLoudness(const char* caption, LoudnessFigures* figures) {
  if (!RequireEditableSamples(caption)) return 0;
  MeterOutcome outcome;
  {
    // Commands stay out while progress dispatches events; Stop gets in.
    BusyScope busy(false);
    outcome = MeasureLoudness(
        SelectionView(caption), [] { return Busy().stopRequested; }, figures);
  }
  if (outcome == MeterOutcome::kRateTooLow)
    ShowMessage(caption, texts::kLoudnessRateTooLow, MsgIcon::kWarning);
  else if (outcome == MeterOutcome::kNoMemory)
    ShowOutOfMemory(caption);
  return outcome == MeterOutcome::kMeasured;
}

bool CheckLoudnessNormalizeFields(const std::vector<DialogField>& fields, std::string* error) {
  const std::vector<ParamEntry> table =
      BuildParamTable(kDialogLoudnessNormalize, LoudnessNormalizeControls());
  return CheckFieldRanges(kDialogLoudnessNormalize, table.data(), fields, error);
}

void LoudnessInfo() {
  LoudnessFigures f;
  if (!MeasureSelectionLoudness(texts::kNameLoudnessInfo, &f)) return;
  LoudnessInfoDialog dialog(f);
  Services().dialogs->RunDialog(kDialogLoudnessInfo, dialog);
}

void LoudnessNormalize() {
  const char* name = texts::kNameLoudnessNormalize;
  if (!RequireEditableSamples(name)) return;
  SelectAllIfEmpty();
  LoudnessFigures f;
  if (!MeasureSelectionLoudness(name, &f)) return;
  if (!f.integrated) {
    const SoundView v = SelectionView(nullptr);
    const bool brief = v.frames * 10 < 4 * int64_t{v.Rate()};
    ShowMessage(name, brief ? texts::kLoudnessTooShort : texts::kLoudnessTooQuiet,
                MsgIcon::kWarning);
    return;
  }
  struct Shown {
    explicit Shown(const LoudnessFigures* f) { g_measured = f; }
    ~Shown() { g_measured = nullptr; }
  } shown(&f);
  static const EffectRecipe kRecipe{name, kDialogLoudnessNormalize, LoudnessNormalizeControls};
  // The gain comes from the figures measured once, above: the preview's
  // copy of the selection and OK's pass get the same gain.
  RunEffect(kRecipe, [&f](EffectRun& run) {
    LoudnessGainPass(PlanLoudnessGain(Params<LoudnessNormalizeParams>(), f).gainDb, run.view);
    return 1;
  });
}

}  // namespace kelvora
