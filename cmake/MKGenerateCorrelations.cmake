# Writes the C++ table of the built-in population's correlations from its CSV
# (src/anthro/MKDBAnthroCorrelations.csv, provenance in tools/anthro/README.md).
#   cmake -DINPUT=<csv> -DOUTPUT=<cpp> -P MKGenerateCorrelations.cmake
# Each row is `ref_a,ref_b,acronym_a,acronym_b,r_female,r_male`, ref_a < ref_b,
# rows sorted, coefficients with exactly 3 decimals; they become thousandths,
# which is exact. Any other row stops the build.
cmake_minimum_required(VERSION 3.25)

file(STRINGS "${INPUT}" lines)
list(POP_FRONT lines header)
if(NOT header STREQUAL "ref_a,ref_b,acronym_a,acronym_b,r_female,r_male")
  message(FATAL_ERROR "${INPUT}: unexpected header '${header}'")
endif()

set(coefficient "(-?)([01])\\.([0-9][0-9][0-9])")
set(row_pattern "^([0-9]+),([0-9]+),<[A-Z0-9]+>,<[A-Z0-9]+>,${coefficient},${coefficient}$")

# "-0.042" as thousandths: "-42".
function(mk_thousandths sign units decimals out)
  math(EXPR value "${sign}(${units} * 1000 + 1${decimals} - 1000)")
  if(value GREATER 1000 OR value LESS -1000)
    message(FATAL_ERROR "${INPUT}: coefficient ${sign}${units}.${decimals} is outside [-1, 1]")
  endif()
  set(${out} ${value} PARENT_SCOPE)
endfunction()

set(rows "")
set(count 0)
set(previous_a 0)
set(previous_b 0)
foreach(line IN LISTS lines)
  if(NOT line MATCHES "${row_pattern}")
    message(FATAL_ERROR "${INPUT}: malformed row '${line}'")
  endif()
  set(a ${CMAKE_MATCH_1})
  set(b ${CMAKE_MATCH_2})
  mk_thousandths("${CMAKE_MATCH_3}" ${CMAKE_MATCH_4} ${CMAKE_MATCH_5} female)
  mk_thousandths("${CMAKE_MATCH_6}" ${CMAKE_MATCH_7} ${CMAKE_MATCH_8} male)
  if(NOT a LESS b OR a LESS previous_a OR (a EQUAL previous_a AND NOT b GREATER previous_b))
    message(FATAL_ERROR "${INPUT}: pair ${a},${b} is out of order")
  endif()
  set(previous_a ${a})
  set(previous_b ${b})
  string(APPEND rows "    {${a}, ${b}, ${female}, ${male}},\n")
  math(EXPR count "${count} + 1")
endforeach()

file(CONFIGURE OUTPUT "${OUTPUT}.tmp" @ONLY CONTENT [=[
// Generated at build time from src/anthro/MKDBAnthroCorrelations.csv; do not edit.
// The pairs of the built-in population with survey data (@count@), sorted, coefficients of
// sex 0 and sex 1 in thousandths.
#include "anthro/MKDBAnthro.h"

const MKDBAnthro::BuiltInCorrelation MKDBAnthro::sBuiltInCorrelations[] = {
@rows@};

const unsigned int MKDBAnthro::sNumberOfBuiltInCorrelations = @count@;
]=])
# Only a changed table recompiles.
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
