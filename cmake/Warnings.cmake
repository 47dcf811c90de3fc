# Warnings for the project's own code. Third-party headers come in as SYSTEM
# includes so that these flags judge only what we wrote. CI turns them into
# errors (scripts/run-tests.sh configures with TARVEL_WARNINGS_AS_ERRORS=ON).
option(TARVEL_WARNINGS_AS_ERRORS "Fail the build on a warning in the project's own code" OFF)
add_library(tarvel_warnings INTERFACE)
target_compile_options(tarvel_warnings INTERFACE
  -Wall -Wextra -Wshadow -Wconversion -Wsign-conversion -Wdouble-promotion
  $<$<BOOL:${TARVEL_WARNINGS_AS_ERRORS}>:-Werror>)

# Identical results on every platform and compiler flag set: never fuse a
# multiply and an add into one rounding.
add_compile_options(-ffp-contract=off)
