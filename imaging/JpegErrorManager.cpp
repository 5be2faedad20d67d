#include "imaging/JpegErrorManager.h"

#include <jerror.h>  // after jpeglib.h

namespace kestrava::jpeg_detail {

namespace {

TJpegErrorManager& ManagerOf(j_common_ptr info) {
  return *reinterpret_cast<TJpegErrorManager*>(info->err);
}

void ErrorExit(j_common_ptr info) {
  TJpegErrorManager& manager = ManagerOf(info);
  (*info->err->format_message)(info, manager.Message);
  std::longjmp(manager.Jump, 1);
}

// Warnings that mean pixels are missing or made up: the data ends, or codes cannot be decoded.
// Extraneous bytes before a marker are not among them: many cameras write them, and the picture
// is whole. Neither are an odd progression or an unknown JFIF version: every pixel is decoded.
bool IsDamage(int code) {
  switch (code) {
    case JWRN_JPEG_EOF:
    case JWRN_HIT_MARKER:
    case JWRN_HUFF_BAD_CODE:
    case JWRN_ARITH_BAD_CODE:
    case JWRN_MUST_RESYNC:
      return true;
    default:
      return false;
  }
}

// Warnings (a truncated file, a corrupt Huffman code) leave a usable picture; they are counted
// and never printed, unless the caller refuses damage. Trace messages (level > 0) are ignored.
void EmitMessage(j_common_ptr info, int level) {
  if (level >= 0) return;
  ++info->err->num_warnings;
  TJpegErrorManager& manager = ManagerOf(info);
  const int code = info->err->msg_code;
  // The file ends, or a marker comes, before the scan's data is complete.
  const bool ended = code == JWRN_JPEG_EOF || code == JWRN_HIT_MARKER;
  if (ended) manager.DataEnded = true;
  if (!manager.RefuseDamage || !IsDamage(code)) return;
  if (ended) FailJpeg(info, "the JPEG data ends early (file truncated?)");
  // Room for our words around libjpeg's message; a message too long is cut.
  char detail[JMSG_LENGTH_MAX];
  (*info->err->format_message)(info, detail);
  detail[sizeof detail - 40] = '\0';
  std::snprintf(manager.Message, sizeof manager.Message, "the JPEG data is damaged (%.*s)",
                int(sizeof detail - 40), detail);
  std::longjmp(manager.Jump, 1);
}

void OutputMessage(j_common_ptr) {}

}  // namespace

jpeg_error_mgr* InitJpegErrorManager(TJpegErrorManager& manager, bool refuseDamage) {
  jpeg_std_error(&manager.Pub);
  manager.Pub.error_exit = ErrorExit;
  manager.Pub.emit_message = EmitMessage;
  manager.Pub.output_message = OutputMessage;
  manager.Message[0] = '\0';
  manager.RefuseDamage = refuseDamage;
  manager.DataEnded = false;
  return &manager.Pub;
}

void FailJpeg(j_common_ptr info, const char* message) {
  TJpegErrorManager& manager = ManagerOf(info);
  std::snprintf(manager.Message, sizeof manager.Message, "%s", message);
  std::longjmp(manager.Jump, 1);
}

}  // namespace kestrava::jpeg_detail
