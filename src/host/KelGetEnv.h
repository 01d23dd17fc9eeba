#pragma once

// Value of an environment variable, or null when it is unset.
const char* KelGetEnv(const char* name);
