#ifndef COGNEXA_PLATFORM_H
#define COGNEXA_PLATFORM_H

// What the library needs from an operating system. One implementation per OS lives beside
// this header (posix/ today); subsystem code calls nothing else of the OS.

namespace Platform {

// A modal notice without owner window (caption and text). Returns when the notice has been
// shown: on this platform, when the host's notice handler returns.
void Show_Notice(const char* caption, const char* text);

}  // namespace Platform

#endif
