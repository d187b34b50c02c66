#ifndef COGNEXA_FOUNDATION_NOTICE_DISPATCH_H
#define COGNEXA_FOUNDATION_NOTICE_DISPATCH_H

// Shows a notice through the host's handler, or in the platform's own form when the host has
// installed none. Returns when the notice has been shown.
void Show_Notice(const char* caption, const char* text);

#endif
