#ifndef COGNEXA_ROUNDING_MODE_H
#define COGNEXA_ROUNDING_MODE_H

// The equations are evaluated with round toward zero, which the platform sets on the thread that
// loads the library. Some program start-ups reset the floating-point control after the program's
// libraries have loaded (mingw-w64's calls _fpreset), so a host linked against the library would
// lose the mode before its first call. There the platform sets it again when called here, on the
// host's first Init_Perception_DLL; elsewhere this does nothing.
void Restore_Rounding_Lost_At_Program_Start();

// Gives the calling thread the evaluation's rounding mode (round toward zero); a thread the host
// started takes the mode of the process's start (round to nearest), not the loading thread's.
void Set_Evaluation_Rounding_On_This_Thread();

#endif
