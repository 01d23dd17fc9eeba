#pragma once

#include "parts/MKPartID.h"

class MKManikinPart;

// The classes above the part tree make themselves known as readers of their
// record kinds: `factory(kind)` returns a new, empty part that reads a record
// of that kind. Internal: a host cannot replace a record reader.
using MKPartReaderFactory = MKManikinPart* (*)(MKPartID kind);
void MKRegisterPartReader(MKPartID kind, MKPartReaderFactory factory);
