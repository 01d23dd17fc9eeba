#include "host/MKTrace.h"

void MKTrace(const char*) {}
void MKTrace(double) {}
void MKTrace(int) {}
void MKTrace(unsigned int) {}
void MKTrace(const MK4x4Matrix&) {}
