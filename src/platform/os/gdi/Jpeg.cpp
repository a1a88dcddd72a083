#include "platform/os/gdi/Jpeg.h"

#include <jerror.h>
#include <jpeglib.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>

namespace qv::os::gdi {

namespace {

// libjpeg's default error handler ends the process; ours jumps back to the
// call with the message. Nothing between the jump and its target owns memory.
struct ErrorManager {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

void onError(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, err->message);
  std::longjmp(err->jump, 1);
}

// libjpeg only warns when the entropy-coded data runs out before the picture
// is whole, or when a progressive file's scans come out of order, and then
// carries on with zeros: a few hundred bytes whose header claims the largest
// picture would be decoded whole. Both mean the file cannot hold the picture
// it claims, so they end the decoding at once, as a cut file does.
void onMessage(j_common_ptr cinfo, int level) {
  const int code = cinfo->err->msg_code;
  if (level == -1 && (code == JWRN_HIT_MARKER || code == JWRN_JPEG_EOF || code == JWRN_BOGUS_PROGRESSION))
    onError(cinfo);
}

// Memory source that remembers when the data ran out: libjpeg would carry on
// with an invented end marker and grey rows, but a cut file is an error here.
struct Source {
  jpeg_source_mgr pub;
  bool truncated;
};

const JOCTET kEoi[2] = {0xFF, JPEG_EOI};

void initSource(j_decompress_ptr) {}
boolean fillInput(j_decompress_ptr cinfo) {
  auto* src = reinterpret_cast<Source*>(cinfo->src);
  src->truncated = true;
  src->pub.next_input_byte = kEoi;
  src->pub.bytes_in_buffer = 2;
  return TRUE;
}
void skipInput(j_decompress_ptr cinfo, long count) {
  auto* src = reinterpret_cast<Source*>(cinfo->src);
  if (count <= 0) return;
  if (static_cast<size_t>(count) > src->pub.bytes_in_buffer) {
    fillInput(cinfo);
    return;
  }
  src->pub.next_input_byte += count;
  src->pub.bytes_in_buffer -= static_cast<size_t>(count);
}
void termSource(j_decompress_ptr) {}

std::uint8_t clamp255(int v) { return static_cast<std::uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v); }

bool decodeCore(jpeg_decompress_struct* cinfo, ErrorManager* err, Source* src, Image& out,
                std::vector<std::uint8_t>& row) {
  if (setjmp(err->jump)) return false;
  jpeg_create_decompress(cinfo);
  cinfo->src = &src->pub;
  jpeg_read_header(cinfo, TRUE);
  if (!imageSizeOk(cinfo->image_width, cinfo->image_height)) {
    std::strcpy(err->message, "bad JPEG size");
    return false;
  }
  // The platform's codecs read Huffman-coded files only. The arithmetic
  // coder also pads a short scan with zeros without a warning, so a file of
  // a hundred bytes would stand for the largest picture.
  if (cinfo->arith_code) {
    std::strcpy(err->message, "arithmetic-coded JPEG files are not supported");
    return false;
  }
  const J_COLOR_SPACE in = cinfo->jpeg_color_space;
  if (in == JCS_GRAYSCALE) {
    cinfo->out_color_space = JCS_GRAYSCALE;
  } else if (in == JCS_CMYK || in == JCS_YCCK) {
    cinfo->out_color_space = JCS_CMYK;
  } else {
    cinfo->out_color_space = JCS_RGB;
  }
  jpeg_start_decompress(cinfo);
  const int w = static_cast<int>(cinfo->output_width), h = static_cast<int>(cinfo->output_height);
  const int comps = cinfo->output_components;
  if (!imageSizeOk(w, h)) {
    std::strcpy(err->message, "bad JPEG size");
    return false;
  }
  // Rows are added as they are decoded, so that a file whose data ends
  // early has taken memory only for the rows it held.
  out.width = w;
  out.height = h;
  out.pixels.clear();
  out.pixels.reserve(static_cast<size_t>(w) * h);
  out.bitDepth = 8 * cinfo->num_components;
  out.hasAlpha = false;
  out.palette.clear();
  // Adobe's CMYK files store the inks inverted.
  const bool inverted = cinfo->saw_Adobe_marker;
  row.resize(static_cast<size_t>(w) * comps);
  while (cinfo->output_scanline < cinfo->output_height) {
    const int y = static_cast<int>(cinfo->output_scanline);
    JSAMPROW rows[1] = {row.data()};
    if (jpeg_read_scanlines(cinfo, rows, 1) != 1) break;
    out.pixels.resize(static_cast<size_t>(y + 1) * w);
    std::uint32_t* dst = &out.pixels[static_cast<size_t>(y) * w];
    for (int x = 0; x < w; ++x) {
      const std::uint8_t* s = &row[static_cast<size_t>(x) * comps];
      std::uint32_t r, g, b;
      if (comps == 1) {
        r = g = b = s[0];
      } else if (comps == 4) {
        int c = s[0], m = s[1], yy = s[2], k = s[3];
        if (!inverted) {
          c = 255 - c;
          m = 255 - m;
          yy = 255 - yy;
          k = 255 - k;
        }
        r = clamp255((c * k + 127) / 255);
        g = clamp255((m * k + 127) / 255);
        b = clamp255((yy * k + 127) / 255);
      } else {
        r = s[0];
        g = s[1];
        b = s[2];
      }
      dst[x] = 0xFF000000u | (r << 16) | (g << 8) | b;
    }
  }
  // Whatever ended the rows early, a picture always holds all its pixels.
  out.pixels.resize(static_cast<size_t>(w) * h);
  if (src->truncated) {
    std::strcpy(err->message, "truncated JPEG file");
    return false;
  }
  jpeg_finish_decompress(cinfo);
  if (src->truncated) {
    std::strcpy(err->message, "truncated JPEG file");
    return false;
  }
  return true;
}

struct Dest {
  jpeg_destination_mgr pub;
  std::vector<std::uint8_t>* bytes;
  size_t used;
};

void initDest(j_compress_ptr cinfo) {
  auto* d = reinterpret_cast<Dest*>(cinfo->dest);
  d->bytes->resize(64 * 1024);
  d->used = 0;
  d->pub.next_output_byte = d->bytes->data();
  d->pub.free_in_buffer = d->bytes->size();
}
boolean emptyDest(j_compress_ptr cinfo) {
  auto* d = reinterpret_cast<Dest*>(cinfo->dest);
  const size_t old = d->bytes->size();
  d->bytes->resize(old * 2);
  d->pub.next_output_byte = d->bytes->data() + old;
  d->pub.free_in_buffer = d->bytes->size() - old;
  return TRUE;
}
void termDest(j_compress_ptr cinfo) {
  auto* d = reinterpret_cast<Dest*>(cinfo->dest);
  d->bytes->resize(d->bytes->size() - d->pub.free_in_buffer);
}

bool encodeCore(jpeg_compress_struct* cinfo, ErrorManager* err, Dest* dest, const Image& image, int quality, bool grey,
                std::vector<std::uint8_t>& row) {
  if (setjmp(err->jump)) return false;
  jpeg_create_compress(cinfo);
  cinfo->dest = &dest->pub;
  cinfo->image_width = static_cast<JDIMENSION>(image.width);
  cinfo->image_height = static_cast<JDIMENSION>(image.height);
  cinfo->input_components = grey ? 1 : 3;
  cinfo->in_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(cinfo);
  jpeg_set_quality(cinfo, quality < 1 ? 1 : quality > 100 ? 100 : quality, TRUE);
  jpeg_start_compress(cinfo, TRUE);
  const int comps = grey ? 1 : 3;
  row.resize(static_cast<size_t>(image.width) * comps);
  while (cinfo->next_scanline < cinfo->image_height) {
    const int y = static_cast<int>(cinfo->next_scanline);
    for (int x = 0; x < image.width; ++x) {
      std::uint32_t px = image.at(x, y);
      int r = (px >> 16) & 0xFF, g = (px >> 8) & 0xFF, b = px & 0xFF;
      if (grey) {
        row[static_cast<size_t>(x)] = static_cast<std::uint8_t>((r * 299 + g * 587 + b * 114 + 500) / 1000);
      } else {
        row[3 * static_cast<size_t>(x)] = static_cast<std::uint8_t>(r);
        row[3 * static_cast<size_t>(x) + 1] = static_cast<std::uint8_t>(g);
        row[3 * static_cast<size_t>(x) + 2] = static_cast<std::uint8_t>(b);
      }
    }
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(cinfo, rows, 1);
  }
  jpeg_finish_compress(cinfo);
  return true;
}

}  // namespace

bool decodeJpeg(const std::uint8_t* data, size_t size, Image& out, std::string* error) {
  if (!data || size < 3 || data[0] != 0xFF || data[1] != 0xD8) {
    if (error) *error = "not a JPEG file";
    return false;
  }
  jpeg_decompress_struct cinfo;
  std::memset(&cinfo, 0, sizeof cinfo);
  ErrorManager err;
  std::memset(&err, 0, sizeof err);
  cinfo.err = jpeg_std_error(&err.pub);
  err.pub.error_exit = onError;
  err.pub.emit_message = onMessage;
  err.pub.output_message = [](j_common_ptr) {};
  Source src;
  std::memset(&src, 0, sizeof src);
  src.pub.init_source = initSource;
  src.pub.fill_input_buffer = fillInput;
  src.pub.skip_input_data = skipInput;
  src.pub.resync_to_restart = jpeg_resync_to_restart;
  src.pub.term_source = termSource;
  src.pub.next_input_byte = data;
  src.pub.bytes_in_buffer = size;
  std::vector<std::uint8_t> row;
  bool ok = decodeCore(&cinfo, &err, &src, out, row);
  jpeg_destroy_decompress(&cinfo);
  if (!ok) {
    if (error) *error = err.message[0] ? err.message : "bad JPEG file";
    out = Image();
  }
  return ok;
}

std::vector<std::uint8_t> encodeJpeg(const Image& image, int quality, bool grey) {
  std::vector<std::uint8_t> bytes;
  if (!imageSizeOk(image.width, image.height) || image.pixels.size() != static_cast<size_t>(image.width) * image.height)
    return bytes;
  jpeg_compress_struct cinfo;
  std::memset(&cinfo, 0, sizeof cinfo);
  ErrorManager err;
  std::memset(&err, 0, sizeof err);
  cinfo.err = jpeg_std_error(&err.pub);
  err.pub.error_exit = onError;
  err.pub.emit_message = onMessage;
  err.pub.output_message = [](j_common_ptr) {};
  Dest dest;
  std::memset(&dest, 0, sizeof dest);
  dest.pub.init_destination = initDest;
  dest.pub.empty_output_buffer = emptyDest;
  dest.pub.term_destination = termDest;
  dest.bytes = &bytes;
  std::vector<std::uint8_t> row;
  bool ok = encodeCore(&cinfo, &err, &dest, image, quality, grey, row);
  jpeg_destroy_compress(&cinfo);
  if (!ok) bytes.clear();
  return bytes;
}

}  // namespace qv::os::gdi
