#pragma once

class MK4x4Matrix;

// Diagnostic hooks called where something is worth tracing. They produce no
// output; a debugger breakpoint on them is the intended use.
void MKTrace(const char* text);
void MKTrace(double value);
void MKTrace(int value);
void MKTrace(unsigned int value);
void MKTrace(const MK4x4Matrix& matrix);
