# One bounded fuzzing run for CTest: a fresh working corpus seeded from the
# committed one (the fuzzer adds to its first corpus folder, and the source
# tree must stay as it is), a fixed seed, a fixed number of inputs. A crash,
# a leak, a sanitizer report or a failed check fails the test; what the
# fuzzer saved for it is left in the working folder.
foreach(variable TARGET SEEDS WORK RUNS)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "run_bounded.cmake needs -D${variable}=...")
  endif()
endforeach()

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/corpus ${WORK}/findings)
if(EXISTS ${SEEDS})
  file(GLOB seeds ${SEEDS}/*)
  if(seeds)
    file(COPY ${seeds} DESTINATION ${WORK}/corpus)
  endif()
endif()

# Undefined behaviour stops the run like a memory error.
if(NOT DEFINED ENV{UBSAN_OPTIONS})
  set(ENV{UBSAN_OPTIONS} halt_on_error=1:print_stacktrace=1)
endif()
# Stack traces with function names and lines; the sanitizers' own search
# does not find the symbolizer Debian installs under a versioned folder.
if(NOT DEFINED ENV{ASAN_SYMBOLIZER_PATH})
  find_program(symbolizer NAMES llvm-symbolizer-16 llvm-symbolizer HINTS /usr/lib/llvm-16/bin)
  if(symbolizer)
    set(ENV{ASAN_SYMBOLIZER_PATH} ${symbolizer})
  endif()
endif()
execute_process(
  COMMAND ${TARGET} -runs=${RUNS} -seed=1 -timeout=30 -print_final_stats=1
          -artifact_prefix=${WORK}/findings/ ${OPTIONS} ${WORK}/corpus
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "the fuzz target failed (${result}); the input is in ${WORK}/findings")
endif()
