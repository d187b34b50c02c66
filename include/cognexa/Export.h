#ifndef COGNEXA_EXPORT_H
#define COGNEXA_EXPORT_H

// Marks the library's interface; everything else stays hidden.
#if defined(_WIN32)
#  if defined(COGNEXA_BUILDING)
#    define COGNEXA_API __declspec(dllexport)
#  else
#    define COGNEXA_API __declspec(dllimport)
#  endif
#else
#  define COGNEXA_API __attribute__((visibility("default")))
#endif

#endif
