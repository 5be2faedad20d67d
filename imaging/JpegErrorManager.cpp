#include "imaging/JpegErrorManager.h"

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

// Warnings (a truncated file, a corrupt Huffman code) leave a usable picture; they are counted
// and never printed. Trace messages (level > 0) are ignored.
void EmitMessage(j_common_ptr info, int level) {
  if (level < 0) ++info->err->num_warnings;
}

void OutputMessage(j_common_ptr) {}

}  // namespace

jpeg_error_mgr* InitJpegErrorManager(TJpegErrorManager& manager) {
  jpeg_std_error(&manager.Pub);
  manager.Pub.error_exit = ErrorExit;
  manager.Pub.emit_message = EmitMessage;
  manager.Pub.output_message = OutputMessage;
  manager.Message[0] = '\0';
  return &manager.Pub;
}

void FailJpeg(j_common_ptr info, const char* message) {
  TJpegErrorManager& manager = ManagerOf(info);
  std::snprintf(manager.Message, sizeof manager.Message, "%s", message);
  std::longjmp(manager.Jump, 1);
}

}  // namespace kestrava::jpeg_detail
