#include "document/held_samples.h"

#include <cstdio>

#include "document/texts.h"
#include "platform/platform.h"

namespace kelvora {

bool SamplesEditable(const SoundFormat& f) {
  const int32_t width = BytesPerChannelSample(f);
  return (f.wBitsPerSample == 8 || f.wBitsPerSample == 16) && width >= f.wBitsPerSample / 8;
}

bool SamplesReadable(const SoundFormat& f) {
  if (SamplesEditable(f)) return true;
  const int bits = f.wBitsPerSample;
  const int32_t width = BytesPerChannelSample(f);
  return bits > 8 && bits <= 32 && width >= (bits + 7) / 8 && width <= 4;
}

bool ConvertibleSource(const SoundFormat& f) {
  const uint32_t rate = f.nSamplesPerSec;
  return (rate == 8000 || rate == 11025 || rate == 22050 || rate == 44100) &&
         (f.nChannels == 1 || f.nChannels == 2) && SamplesReadable(f);
}

int RequireEditableSamples(const char* caption) {
  const SoundFormat& f = Doc().format;
  if (SamplesEditable(f)) return 1;
  char text[512];
  std::snprintf(text, sizeof text,
                ConvertibleSource(f) ? texts::kNotEditableConvertFormat
                                     : texts::kNotEditableNorConvertibleFormat,
                static_cast<unsigned long>(f.nSamplesPerSec), unsigned{f.wBitsPerSample},
                unsigned{f.nChannels});
  ShowWarning(caption, text);
  return 0;
}

}  // namespace kelvora
