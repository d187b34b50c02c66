#ifndef COGNEXA_PLATFORM_STANDARD_STREAMS_H
#define COGNEXA_PLATFORM_STANDARD_STREAMS_H

// Standard input and output carry bytes unchanged: where the C runtime translates line ends
// (Windows), a framed protocol would otherwise see "\r\n" turn into "\r\r\n".
void Use_Binary_Standard_Streams();

#endif
