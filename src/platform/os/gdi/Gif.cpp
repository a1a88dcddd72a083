#include "platform/os/gdi/Gif.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace qv::os::gdi {

namespace {

struct Reader {
  const std::uint8_t* data;
  size_t size;
  size_t pos = 0;
  bool inPixels = false;  // past the image descriptor
  bool padded = false;    // the file ran out there
};

// giflib reads the pixels a data block at a time and gives up on a block
// cut short, so a file cut in its pixels is filled up with zeros; the rows
// decoded after that are not kept.
int readBytes(GifFileType* gif, GifByteType* out, int length) {
  auto* r = static_cast<Reader*>(gif->UserData);
  if (length <= 0) return 0;
  const size_t want = static_cast<size_t>(length);
  const size_t n = std::min(want, r->size - r->pos);
  std::memcpy(out, r->data + r->pos, n);
  r->pos += n;
  if (n == want || !r->inPixels) return static_cast<int>(n);
  std::memset(out + n, 0, want - n);
  r->padded = true;
  return length;
}

struct Closer {
  GifFileType* gif;
  ~Closer() {
    if (gif) {
      int err = 0;
      DGifCloseFile(gif, &err);
    }
  }
};

// An LZW code of at least 3 bits stands for at most 4096 pixels, so a
// file can hold no more than this many; a header that claims more lies.
long long mostPixelsIn(size_t bytes) { return static_cast<long long>(bytes) * 8 / 3 * 4096 + 4096; }

bool fail(std::string* error, const char* why) {
  if (error) *error = why;
  return false;
}

}  // namespace

bool decodeGif(const std::uint8_t* data, size_t size, Image& out, std::string* error) {
  if (!data || size < 13) return fail(error, "not a GIF file");
  Reader reader{data, size};
  int err = 0;
  Closer closer{DGifOpen(&reader, readBytes, &err)};
  GifFileType* gif = closer.gif;
  if (!gif) return fail(error, "not a GIF file");

  int transparent = -1;
  for (;;) {
    GifRecordType type = UNDEFINED_RECORD_TYPE;
    if (DGifGetRecordType(gif, &type) == GIF_ERROR) return fail(error, "truncated GIF file");
    if (type == TERMINATE_RECORD_TYPE) return fail(error, "GIF file without a picture");
    if (type == EXTENSION_RECORD_TYPE) {
      int code = 0;
      GifByteType* ext = nullptr;
      if (DGifGetExtension(gif, &code, &ext) == GIF_ERROR) return fail(error, "truncated GIF file");
      // The graphic control block of the first picture: its transparency.
      if (code == GRAPHICS_EXT_FUNC_CODE && ext && ext[0] >= 4) transparent = (ext[1] & 1) ? ext[4] : -1;
      while (ext) {
        if (DGifGetExtensionNext(gif, &ext) == GIF_ERROR) return fail(error, "truncated GIF file");
      }
      continue;
    }
    if (type != IMAGE_DESC_RECORD_TYPE) continue;

    if (DGifGetImageDesc(gif) == GIF_ERROR) return fail(error, "truncated GIF file");
    reader.inPixels = true;
    const GifImageDesc& desc = gif->Image;
    const long long fw = desc.Width, fh = desc.Height;
    long long sw = gif->SWidth, sh = gif->SHeight;
    // A screen smaller than its picture grows to hold it.
    sw = std::max(sw, desc.Left + fw);
    sh = std::max(sh, desc.Top + fh);
    if (fw <= 0 || fh <= 0 || !imageSizeOk(sw, sh)) return fail(error, "GIF picture too large or empty");
    if (fw * fh > mostPixelsIn(size)) return fail(error, "GIF picture larger than its data");
    const ColorMapObject* map = desc.ColorMap ? desc.ColorMap : gif->SColorMap;
    if (!out.allocate(static_cast<int>(sw), static_cast<int>(sh))) return fail(error, "GIF picture too large");
    out.bitDepth = map ? map->BitsPerPixel : 8;
    out.palette.clear();
    if (map)
      for (int i = 0; i < map->ColorCount; ++i)
        out.palette.push_back(static_cast<std::uint32_t>(map->Colors[i].Red) << 16 |
                              static_cast<std::uint32_t>(map->Colors[i].Green) << 8 | map->Colors[i].Blue);
    // Only a transparent colour, or a picture short of its screen, leaves holes.
    out.hasAlpha = transparent >= 0 || fw != sw || fh != sh;

    std::vector<GifPixelType> line(static_cast<size_t>(fw));
    auto putRow = [&](long long row) {
      std::uint32_t* dst = &out.pixels[static_cast<size_t>(desc.Top + row) * out.width + desc.Left];
      for (long long x = 0; x < fw; ++x) {
        const int index = line[static_cast<size_t>(x)];
        if (index == transparent) continue;
        std::uint32_t rgb = 0;
        if (map && index < map->ColorCount) {
          const GifColorType& c = map->Colors[index];
          rgb = static_cast<std::uint32_t>(c.Red) << 16 | static_cast<std::uint32_t>(c.Green) << 8 | c.Blue;
        }
        dst[x] = 0xFF000000u | rgb;
      }
    };
    // Interlaced pictures come in four passes of rows.
    static const int kStart[4] = {0, 4, 2, 1}, kStep[4] = {8, 8, 4, 2};
    const int passes = desc.Interlace ? 4 : 1;
    for (int p = 0; p < passes; ++p) {
      const long long start = desc.Interlace ? kStart[p] : 0, step = desc.Interlace ? kStep[p] : 1;
      for (long long row = start; row < fh; row += step) {
        if (DGifGetLine(gif, line.data(), static_cast<int>(fw)) == GIF_ERROR || reader.padded) return true;
        putRow(row);
      }
    }
    return true;
  }
}

}  // namespace qv::os::gdi
