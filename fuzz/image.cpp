// Replacement images (PNG and JPEG, told apart by content), cut into frames as the
// replacement sets are.
#include <vector>

#include "data/image_io.h"
#include "fuzz/fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzDir();
  PPixmap pixmap = DecodeImageBytes(std::vector<uint8_t>(data, data + size));
  if (pixmap && pixmap->Width >= 16 && pixmap->Height >= 16) CreateImage(*pixmap, 16, 16, 0, 4, 0);
  TrimLog();
  return 0;
}
