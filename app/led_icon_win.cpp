// Turning the picture of the LED byte into an icon: 32-bit colour with alpha,
// and the mask that systems without alpha draw with.
#include "app/led_icon_win.h"

#include <vector>

#include "app/led_icon.h"
#include "core/scoped_win.h"

namespace {

// Colours of the picture's pixels, alpha in the top byte.
uint32_t Argb(IconPixel pixel) {
  switch (pixel) {
    case IconPixel::kLit:
      return 0xFF20E020;
    case IconPixel::kDark:
      return 0xFF5A625A;
    case IconPixel::kPausedLit:
      return 0xFFC8C8C8;
    case IconPixel::kPausedDark:
      return 0xFF707070;
    case IconPixel::kPauseMark:
      return 0xFFFFB000;
    case IconPixel::kPauseRim:
      return 0xFF000000;
    case IconPixel::kClear:
      break;
  }
  return 0;
}

}  // namespace

HICON MakeLedIcon(uint8_t byte, bool paused) {
  // The size the notification area shows, which grows with the display's DPI.
  const int size = GetSystemMetrics(SM_CXSMICON);
  const std::vector<IconPixel> pixels = DrawLedIcon(byte, paused, size);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = size;
  info.bmiHeader.biHeight = -size;  // top row first, as the picture
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  ScopedGdiObject colour(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!colour.IsValid()) return nullptr;
  // Monochrome rows are padded to 16 bits; a set bit is transparent.
  const int maskStride = (size + 15) / 16 * 2;
  std::vector<uint8_t> mask(static_cast<size_t>(maskStride * size), 0);
  auto* argb = static_cast<uint32_t*>(bits);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      const IconPixel pixel = pixels[static_cast<size_t>(y * size + x)];
      argb[y * size + x] = Argb(pixel);
      if (pixel == IconPixel::kClear) mask[static_cast<size_t>(y * maskStride + x / 8)] |= 0x80 >> (x % 8);
    }
  }
  ScopedGdiObject monochrome(CreateBitmap(size, size, 1, 1, mask.data()));
  if (!monochrome.IsValid()) return nullptr;
  ICONINFO iconInfo{TRUE, 0, 0, static_cast<HBITMAP>(monochrome.Get()), static_cast<HBITMAP>(colour.Get())};
  return CreateIconIndirect(&iconInfo);
}
