#pragma once

#include "Renderer.h"
#include "StudyRunner.h"

namespace mkcli {

// One panel per check, stacked: each person's stature (x) against the
// check's measured value (y), accommodated people in green and the others in
// red, the pass limit drawn as a grey line. People without a measured value
// or not made are left out.
Image DrawStudyPlot(const mkstudy::StudyTask& task, const mkstudy::StudyResult& result, int width);

}  // namespace mkcli
