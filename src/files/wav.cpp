#include "files/wav.h"

namespace kelvora {

int LoadWav(const std::string&) { return 0; }
int SaveWav(int) { return 0; }

}  // namespace kelvora
