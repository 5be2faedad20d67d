/* Writes the four-component fixtures of this folder with libjpeg:
 *   cc -o /tmp/make-cmyk-fixtures make-cmyk-fixtures.c -ljpeg && /tmp/make-cmyk-fixtures
 * Each picture is 64 x 16: four 16 x 16 blocks of flat ink, quality 100, no subsampling, so that
 * a decoder's colours can be checked block by block. */
#include <stdio.h>
#include <stdlib.h>

#include <jpeglib.h>

/* Ink amounts (0 = none, 255 = full) of the four blocks, left to right. */
static const unsigned char kInks[4][4] = {
    {0, 255, 255, 0},   /* red */
    {255, 0, 255, 0},   /* green */
    {0, 0, 0, 128},     /* grey, black ink only */
    {0, 128, 255, 64},  /* dark orange, all but cyan */
};

static void Write(const char* name, J_COLOR_SPACE space, boolean adobe) {
  struct jpeg_compress_struct info;
  struct jpeg_error_mgr err;
  unsigned char row[64 * 4];
  FILE* out = fopen(name, "wb");
  int x, c;
  if (!out) exit(1);
  info.err = jpeg_std_error(&err);
  jpeg_create_compress(&info);
  jpeg_stdio_dest(&info, out);
  info.image_width = 64;
  info.image_height = 16;
  info.input_components = 4;
  info.in_color_space = JCS_CMYK;
  jpeg_set_defaults(&info);
  jpeg_set_colorspace(&info, space);
  info.write_Adobe_marker = adobe;
  jpeg_set_quality(&info, 100, TRUE);
  for (c = 0; c < info.num_components; ++c)
    info.comp_info[c].h_samp_factor = info.comp_info[c].v_samp_factor = 1;
  /* Adobe's convention, which its marker announces, stores 255 - ink. */
  for (x = 0; x < 64; ++x)
    for (c = 0; c < 4; ++c) row[x * 4 + c] = adobe ? 255 - kInks[x / 16][c] : kInks[x / 16][c];
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    JSAMPROW rows[1] = {row};
    jpeg_write_scanlines(&info, rows, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  fclose(out);
}

int main(void) {
  Write("cmyk-adobe.jpg", JCS_CMYK, TRUE);
  Write("ycck-adobe.jpg", JCS_YCCK, TRUE);
  Write("cmyk-plain.jpg", JCS_CMYK, FALSE);
  return 0;
}
