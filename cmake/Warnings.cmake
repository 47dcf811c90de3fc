# Warnings for the project's own code. Third-party headers come in as SYSTEM
# includes so that these flags judge only what we wrote.
add_library(tarvel_warnings INTERFACE)
target_compile_options(tarvel_warnings INTERFACE -Wall -Wextra -Wshadow)

# Identical results on every platform and compiler flag set: never fuse a
# multiply and an add into one rounding.
add_compile_options(-ffp-contract=off)
