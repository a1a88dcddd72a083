// The picture readers: the bytes as a bitmap, icon, JPEG and metafile
// stream, and as a file the picture opens by its extension. Each graphic
// that loads is drawn, so that the decoded pixels are touched too. A
// graphic error of the class library is a handled error.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "FuzzDesktop.h"
#include "platform/classlib/Classes.h"
#include "platform/classlib/Graphics.h"
#include "platform/classlib/Jpeg.h"
#include "platform/classlib/SysUtils.h"
#include "platform/os/gdi/Image.h"

namespace {

void drawSmall(TGraphic* graphic) {
  TBitmap target;
  target.SetSize(8, 8);
  target.Canvas()->StretchDraw(TRect{0, 0, 8, 8}, graphic);
  target.Canvas()->Draw(0, 0, graphic);
}

template <class G>
void fromStream(const std::uint8_t* data, std::size_t size) {
  TMemoryStream stream;
  stream.WriteBuffer(data, static_cast<int>(size));
  stream.SetPosition(0);
  try {
    G graphic;
    graphic.LoadFromStream(&stream);
    (void)graphic.Width();
    (void)graphic.Height();
    drawSmall(&graphic);
    TMemoryStream saved;
    graphic.SaveToStream(&saved);
  } catch (Exception&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > (1u << 20)) return 0;
  // A run-length bitmap of sixty bytes may validly be the largest picture,
  // which takes most of a minute to load, draw and save under the fuzzer's
  // instrumentation, and a million pixels about a second. Pictures of up to
  // half a million pixels reach every path of the readers.
  static const bool limited = [] {
    qv::os::gdi::limitImagePixels(1 << 19);
    return true;
  }();
  (void)limited;
  fromStream<TBitmap>(data, size);
  fromStream<TIcon>(data, size);
  fromStream<TJPEGImage>(data, size);
  fromStream<TMetafile>(data, size);
  // The first byte picks the extension, so one input reaches each reader
  // through the picture as the runtime's forms open it.
  static const char* const kExtensions[] = {"bmp", "ico", "jpg", "emf", "wmf"};
  const char* ext = kExtensions[size ? data[0] % 5 : 0];
  const std::string path = qvfuzz::Desktop::get().writeFile(std::string("picture.") + ext, data, size);
  try {
    TPicture picture;
    picture.LoadFromFile(path);
    if (picture.Graphic() != nullptr) {
      drawSmall(picture.Graphic());
      (void)picture.Bitmap();
    }
  } catch (Exception&) {
  }
  return 0;
}
