# Fails unless every test CTest knows of has a time limit of its own, more
# than nothing and at most LIMIT seconds, and CTest's default for a test
# without one is as short: a test that hangs then fails within minutes,
# rather than after CTest's 1,500 seconds, or never.
#
#   cmake -DBUILD=<build folder> -DPROBE=<folder> -DLIMIT=<seconds> -P TimeLimitsTest.cmake
#
# PROBE holds a CTestTestfile.cmake that only reads BUILD's: CTest lists the
# tests from there, so that its log goes to PROBE rather than over the log of
# the run this test is part of. Placeholders of test programs not built yet
# (<name>_NOT_BUILT) are passed over: their tests are listed once they are.
cmake_minimum_required(VERSION 3.25)

set(faults)

file(STRINGS "${BUILD}/DartConfiguration.tcl" default REGEX "^TimeOut:")
string(REGEX REPLACE "^TimeOut:[ ]*" "" default "${default}")
if(NOT default MATCHES "^[0-9]+$" OR default EQUAL 0 OR default GREATER LIMIT)
  list(APPEND faults "CTest's default time limit is '${default}'")
endif()

execute_process(COMMAND "${CMAKE_CTEST_COMMAND}" --test-dir "${PROBE}" --show-only=json-v1
                OUTPUT_VARIABLE listing RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "CTest could not list the tests (${status})")
endif()
string(JSON tests GET "${listing}" tests)
string(JSON count LENGTH "${tests}")
if(count EQUAL 0)
  message(FATAL_ERROR "CTest listed no test")
endif()

math(EXPR last "${count} - 1")
set(checked 0)
foreach(i RANGE ${last})
  string(JSON test GET "${tests}" ${i})
  string(JSON name GET "${test}" name)
  if(name MATCHES "_NOT_BUILT$")
    continue()
  endif()
  math(EXPR checked "${checked} + 1")
  set(timeout "none")
  string(JSON properties ERROR_VARIABLE none GET "${test}" properties)
  if(NOT none)
    string(JSON n LENGTH "${properties}")
    set(k 0)
    while(k LESS n)
      string(JSON key GET "${properties}" ${k} name)
      if(key STREQUAL "TIMEOUT")
        string(JSON timeout GET "${properties}" ${k} value)
      endif()
      math(EXPR k "${k} + 1")
    endwhile()
  endif()
  if(NOT timeout MATCHES "^[0-9]+(\\.[0-9]*)?$" OR timeout EQUAL 0 OR timeout GREATER LIMIT)
    list(APPEND faults "${name} has the time limit '${timeout}'")
  endif()
endforeach()

if(faults)
  list(JOIN faults "\n  " text)
  message(FATAL_ERROR "Every test needs a time limit of at most ${LIMIT} s:\n  ${text}")
endif()
message(STATUS "${checked} tests, each with a time limit of at most ${LIMIT} s")
