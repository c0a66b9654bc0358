#include <cctype>
#include <cstring>

#include "generators/melody.h"

namespace kelvora {
namespace {

struct NoteName {
  const char* name;
  int32_t ratio;  // ten-thousandths, relative to c of the same octave
};

// Tried in order: the first name the text starts with wins, so that "c-"
// is found before "c".
constexpr NoteName kNoteTable[] = {
    {"r", 0},     {"c-", 9439},  {"c+", 10595}, {"c", 10000}, {"d-", 10595}, {"d+", 11892},
    {"d", 11225}, {"e-", 11892}, {"e+", 13348}, {"e", 12599}, {"f-", 12599}, {"f+", 14142},
    {"f", 13348}, {"g-", 14142}, {"g+", 15874}, {"g", 14983}, {"a-", 15874}, {"a+", 17818},
    {"a", 16818}, {"b-", 17818}, {"b+", 20000}, {"b", 18877},
};

// Octaves 0..7 divide ratio * 8 by 128 .. 1; 8 and 9 carry the doubling on.
int64_t StepFor(int32_t ratio, int octave) {
  static constexpr int32_t kDivisors[] = {128, 64, 32, 16, 8, 4, 2, 1};
  if (octave <= 7) return int64_t{ratio} * 8 / kDivisors[octave];
  return int64_t{ratio} * 8 << (octave - 7);
}

constexpr const char* kWhiteKeys[] = {"c", "d", "e", "f", "g", "a", "b"};

std::string WhiteKeyName(int k) {
  std::string name(3, 'o');
  name[1] = static_cast<char>('3' + k / 7);
  name[2] = kWhiteKeys[k % 7][0];
  return name;
}

}  // namespace

bool ReadMelodyNote(const std::string& text, size_t at, int64_t beatBytes, int32_t align,
                    int* octave, MelodyNote* note) {
  size_t i = at;
  if (i < text.size() && text[i] == 'o') {
    if (i + 1 >= text.size() || !std::isdigit(static_cast<unsigned char>(text[i + 1])))
      return false;
    *octave = text[i + 1] - '0';
    i += 2;
  }
  const NoteName* found = nullptr;
  for (const NoteName& n : kNoteTable)
    if (text.compare(i, std::strlen(n.name), n.name) == 0) {
      found = &n;
      break;
    }
  if (found == nullptr) return false;
  const size_t nameStart = i;
  i += std::strlen(found->name);
  // Any number of digits; a huge length only makes the note shorter.
  uint64_t length = 0;
  while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
    if (length < 1000000000) length = length * 10 + static_cast<uint64_t>(text[i] - '0');
    ++i;
  }
  if (length == 0) length = 4;
  int64_t bytes = static_cast<int64_t>(static_cast<uint64_t>(beatBytes) * 4 / length);
  if (i < text.size() && text[i] == '.') {
    bytes += bytes / 2;
    ++i;
  }
  if (align > 0) bytes -= bytes % align;
  note->step = static_cast<int32_t>(StepFor(found->ratio, *octave));
  note->bytes = bytes;
  note->next = i;
  note->counted = static_cast<int32_t>(i - nameStart);
  return true;
}

std::string WithoutLastNote(const std::string& text) {
  size_t cut = 0;
  for (size_t i = text.size(); i-- > 1;) {
    const char c = text[i];
    if (c == 'r' || (c >= 'a' && c <= 'g')) {
      cut = i;
      size_t j = i;
      while (j > 0 && std::isdigit(static_cast<unsigned char>(text[j - 1]))) --j;
      if (j > 0 && text[j - 1] == 'o') cut = j - 1;
      break;
    }
  }
  return text.substr(0, cut);
}

const char* LengthSuffix(int index) {
  static constexpr const char* kSuffixes[] = {"2", "2.", "4", "4.", "8", "8.", "16", "16."};
  return index >= 0 && index < 8 ? kSuffixes[index] : "4";
}

std::string KeyboardNoteAt(int x, int y, int w, int h) {
  if (w <= 0 || x < 0 || y < 0 || x >= w || y >= h) return {};
  if (y < h / 2) {
    const int k = (x + w / 48) * 24 / w;
    if (k < 1 || k > 23 || k % 7 == 0 || k % 7 == 3) return {};
    std::string name = WhiteKeyName(k - 1);
    name.push_back('+');
    return name;
  }
  return WhiteKeyName(x * 24 / w);
}

}  // namespace kelvora
