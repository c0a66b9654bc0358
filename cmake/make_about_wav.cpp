// Writes the sound the about box plays: a short rising three-note chime,
// 22050 Hz, 16-bit mono PCM. Run at build time; the argument is the path.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v & 0xffff);
  Put16(out, v >> 16);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  constexpr int kRate = 22050;
  constexpr double kPi = 3.14159265358979323846;
  const double notes[] = {659.26, 783.99, 1046.50};  // E5, G5, C6
  const int noteFrames = kRate * 11 / 100;
  const int tailFrames = kRate * 35 / 100;
  std::vector<int16_t> samples;
  for (int n = 0; n < 3; ++n) {
    const int frames = n == 2 ? tailFrames : noteFrames;
    for (int i = 0; i < frames; ++i) {
      const double t = static_cast<double>(i) / kRate;
      const double attack = std::fmin(1.0, i / (kRate * 0.004));
      const double decay = std::exp(-t * (n == 2 ? 9.0 : 14.0));
      const double tone =
          std::sin(2 * kPi * notes[n] * t) + 0.25 * std::sin(4 * kPi * notes[n] * t);
      samples.push_back(static_cast<int16_t>(9000 * attack * decay * tone));
    }
  }
  const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
  std::vector<uint8_t> out;
  for (char c : {'R', 'I', 'F', 'F'}) out.push_back(static_cast<uint8_t>(c));
  Put32(out, 36 + dataBytes);
  for (char c : {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '}) out.push_back(static_cast<uint8_t>(c));
  Put32(out, 16);
  Put16(out, 1);  // PCM
  Put16(out, 1);  // mono
  Put32(out, kRate);
  Put32(out, kRate * 2);
  Put16(out, 2);
  Put16(out, 16);
  for (char c : {'d', 'a', 't', 'a'}) out.push_back(static_cast<uint8_t>(c));
  Put32(out, dataBytes);
  for (int16_t s : samples) Put16(out, static_cast<uint16_t>(s));
  FILE* f = std::fopen(argv[1], "wb");
  if (f == nullptr) return 1;
  const bool ok = std::fwrite(out.data(), 1, out.size(), f) == out.size();
  return std::fclose(f) == 0 && ok ? 0 : 1;
}
