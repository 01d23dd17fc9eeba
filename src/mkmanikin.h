#pragma once

// libMKManikin: a digital human for ergonomic studies. This header includes
// every public header of the library.
//
// Threads: a host may use different manikins from different threads at
// once. What the library shares between manikins (the database manager and
// its databases, the message catalogue, the skin tables, the data-file
// tables, identifier counters, the registered UI listener) is made or
// guarded so that this is safe, each piece read on first use by whichever
// thread asks first. One manikin, and anything taken from it (its body,
// segments, IK manager, analysis specs), must not be used from two threads
// at once without the host's own locking; nor may a database be removed, or
// the last reference to the built-in ones released, while another thread
// still uses it. The library never calls setlocale; a host that changes the
// locale while other threads read or write text files races with them.

#include "host/MKVersion.h"

// Host platform services.
#include "host/KelDataPath.h"
#include "host/KelFatalError.h"
#include "host/KelFile.h"
#include "host/KelGetEnv.h"
#include "host/KelMathVector.h"
#include "host/KelMsgCatalog.h"
#include "host/KelRawColl.h"
#include "host/KelSdoCreateMesh.h"
#include "host/KelSdoEdge.h"
#include "host/KelSdoFace.h"
#include "host/KelSdoMesh.h"
#include "host/KelSdoResult.h"
#include "host/KelSdoVertex.h"
#include "host/KelStreamDefinition.h"
#include "host/KelString.h"
#include "host/KelToken.h"
#include "host/KelUnicodeChar.h"
#include "host/KelUnicodeString.h"
#include "host/MKKEBodyPart.h"
#include "host/MKKEDOF.h"
#include "host/MKKERULAAttr.h"
#include "host/MKKERULAColoring.h"
#include "host/MKKERULAValue.h"
#include "host/MKTrace.h"

// Geometry and numerics.
#include "math/MK3DVertex.h"
#include "math/MK3DVertexCompare.h"
#include "math/MK3x1Matrix.h"
#include "math/MK4x4Matrix.h"
#include "math/MKBagOfMKMesh.h"
#include "math/MKFrame.h"
#include "math/MKIEEE.h"
#include "math/MKMathRoutines.h"
#include "math/MKMesh.h"
#include "math/MKNxMMatrix.h"
#include "math/MKUnitConversions.h"

// Part model and persistence.
#include "parts/MKManikinPart.h"
#include "parts/MKManikinPartFrame.h"
#include "parts/MKMemo.h"
#include "parts/MKMessage.h"
#include "parts/MKPartHolder.h"
#include "parts/MKPartID.h"
#include "parts/MKPersistenceRoutines.h"
#include "parts/MKShortName.h"
#include "parts/MKStatus.h"
#include "parts/MKSystemServices.h"
#include "parts/MKUUID.h"

// Skeleton, posture and body surfaces.
#include "body/MKBody.h"
#include "body/MKBodyElement.h"
#include "body/MKCenterOfGravity.h"
#include "body/MKDOF.h"
#include "body/MKEllipse.h"
#include "body/MKPostureSpec.h"
#include "body/MKPrefAngle.h"
#include "body/MKSegment.h"
#include "body/MKSkinElement.h"
#include "body/MKSubDVertex.h"

// Anthropometry and databases.
#include "anthro/MKAnthro.h"
#include "anthro/MKAnthroSpecs.h"
#include "anthro/MKAnthroVariable.h"
#include "anthro/MKAppDatabaseManager.h"
#include "anthro/MKCorrelation.h"
#include "anthro/MKDBAnthro.h"
#include "anthro/MKDBAnthroVariable.h"
#include "anthro/MKDBJointLimits.h"
#include "anthro/MKDBJointLimitsVariable.h"
#include "anthro/MKDatabase.h"
#include "anthro/MKDatabaseManager.h"
#include "anthro/MKSubject.h"
#include "anthro/MKSurveySubjects.h"
#include "anthro/MKUserDBAnthro.h"
#include "anthro/MKUserDBAnthroVariable.h"
#include "anthro/MKUserDBJointLimits.h"
#include "anthro/MKUserDBJointLimitsVariable.h"

// The manikin.
#include "manikin/MKManikin.h"

// Inverse kinematics.
#include "ik/MKIKConstraint.h"
#include "ik/MKIKManager.h"
#include "ik/MKIKSpecs.h"
#include "ik/MKKHmiUIActiveObjectListener.h"

// Vision.
#include "vision/MKLineOfSight.h"
#include "vision/MKVision.h"
#include "vision/MKVisualLimitsVariable.h"

// Ergonomic analyses.
#include "analysis/MKAnalysis.h"
#include "analysis/MKAnalysisResults.h"
#include "analysis/MKRULASpecs.h"
