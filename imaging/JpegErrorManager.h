#pragma once

// libjpeg's error handling, made safe for a C++ program. libjpeg reports a fatal error by calling
// error_exit, which must not return; the default one exits the process. Ours records the message
// and longjmps back to the setjmp of the function that called into libjpeg. That function must be
// written in a C style: between its setjmp and the libjpeg calls it holds only trivially
// destructible locals, so the longjmp skips no destructor. It cleans up with jpeg_destroy_* and
// reports failure; its C++ caller throws EJpegError afterwards, never inside libjpeg.

#include <csetjmp>
#include <cstddef>
#include <cstdio>

#include <jpeglib.h>

namespace kestrava::jpeg_detail {

struct TJpegErrorManager {
  jpeg_error_mgr Pub;  // first: libjpeg's pointer to it is a pointer to the whole manager
  std::jmp_buf Jump;
  char Message[JMSG_LENGTH_MAX];
  // Warnings that mean missing or undecodable data fail the call, as errors do.
  bool RefuseDamage;
  // libjpeg found the data ending early and filled in what is missing.
  bool DataEnded;
};

// Fills in the handlers (silent warnings, counted in Pub.num_warnings, unless refuseDamage makes
// the damaging ones fatal) and returns &manager.Pub for the err field of a libjpeg object.
jpeg_error_mgr* InitJpegErrorManager(TJpegErrorManager& manager, bool refuseDamage = false);

// Fails the current libjpeg call with a message of our own, as error_exit does with libjpeg's.
[[noreturn]] void FailJpeg(j_common_ptr info, const char* message);

}  // namespace kestrava::jpeg_detail
