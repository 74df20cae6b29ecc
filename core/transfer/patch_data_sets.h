#pragma once

#include "model/parameter.h"
#include "transfer/data_set_sink.h"

// Puts patch as patch number of area the way a Write sends it: nine data sets of 242 bytes, chunk by
// chunk, each at its chunk's address, cut from the patch as the device holds it (the stored block padded
// with zeros or cut to 2178 bytes). Areas that hold no patches put nothing. False as soon as the sink
// refuses a data set.
bool PutPatchDataSets(const CParameter& patch, int area, int number, IDataSetSink& sink);
